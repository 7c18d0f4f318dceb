// OtherBaseView: the base of the lookup host's search views (person search, address book, area
// codes, weather). A search view asks its host to search or to open a result; the host owns the
// view, not the other way round.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QWidget>

namespace oa {

class OtherFuncController;

class OtherBaseView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 320;

    explicit OtherBaseView(QWidget* parent = nullptr);

    // The host; not owned, and null once it is gone.
    OtherFuncController* other_delegate() const;
    void setOther_delegate(OtherFuncController* host);

    // Builds the view's fields and lists and starts observing its results. The base builds
    // nothing.
    virtual void createView();

protected:
    // Says at the top of `list`, while a result has no rows, that nothing was found (as the
    // detail views of the other lookups do): an empty result is otherwise a blank screen.
    void showNothingFound(QWidget* list, bool nothing);

private:
    QPointer<QObject> other_delegate_;  // an OtherFuncController
    QPointer<QLabel> nothingFound_;
};

}  // namespace oa
