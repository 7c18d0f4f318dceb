// GuardedDelegate: a delegate pointer that is not owned and, when the delegate is a QObject (a
// screen), reads as null once that object is destroyed; any other delegate must outlive its
// holder or be cleared first.
#pragma once

#include <QObject>
#include <QPointer>

namespace oa {

template <class Delegate>
class GuardedDelegate {
public:
    void set(Delegate* delegate) {
        delegate_ = delegate;
        object_ = dynamic_cast<QObject*>(delegate);
        isObject_ = !object_.isNull();
    }
    // The delegate as set, even if gone (for accessors).
    Delegate* raw() const { return delegate_; }
    // The delegate to call, or null when none is set or its object is gone.
    Delegate* live() const { return isObject_ && !object_ ? nullptr : delegate_; }

private:
    Delegate* delegate_ = nullptr;
    QPointer<QObject> object_;
    bool isObject_ = false;
};

}  // namespace oa
