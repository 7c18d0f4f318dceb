// View tags: a dynamic property on the widget and a pre-order walk of the widget tree.
#include "ui/kit/ViewTags.h"

#include <QVariant>
#include <QWidget>

namespace oa {

namespace {
constexpr const char* kTagProperty = "oaViewTag";
}  // namespace

void setTag(QWidget* widget, int tagValue) {
    if (!widget) {
        return;
    }
    widget->setProperty(kTagProperty, tagValue == 0 ? QVariant() : QVariant(tagValue));
}

int tag(const QWidget* widget) {
    if (!widget) {
        return 0;
    }
    const QVariant value = widget->property(kTagProperty);
    return value.isValid() ? value.toInt() : 0;
}

QWidget* viewWithTag(QWidget* root, int tagValue) {
    if (!root || tagValue == 0) {
        return nullptr;
    }
    if (tag(root) == tagValue) {
        return root;
    }
    // children() also holds non-widget objects (layouts, animations); only widgets count.
    for (QObject* child : root->children()) {
        if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow()) {
            if (QWidget* found = viewWithTag(widget, tagValue)) {
                return found;
            }
        }
    }
    return nullptr;
}

}  // namespace oa
