// ViewController: one screen of the client. Owns a lazily loaded view, the items its navigation
// bar shows while it is on top, and receives appearance callbacks from its container.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace oa {

class NavigationController;

class ViewController : public QObject {
    Q_OBJECT
public:
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };
    Q_ENUM(Appearance)

    explicit ViewController(QObject* parent = nullptr);
    ~ViewController() override;

    // The screen's root widget; loadView() and viewDidLoad() run on the first call. The controller
    // owns the view wherever it is placed in the widget tree.
    QWidget* view();
    bool isViewLoaded() const { return !view_.isNull(); }

    QString title() const { return title_; }
    void setTitle(const QString& title);

    // Navigation bar items, shown while this controller is the top of a navigation stack. Each
    // widget becomes owned by this controller; nullptr removes the item. A title view replaces the
    // title text; without a left item a pushed screen gets the bar's default back button unless
    // hidesBackButton is set.
    QWidget* titleView() const { return titleView_; }
    void setTitleView(QWidget* view);
    QWidget* leftBarButtonItem() const { return leftItem_; }
    void setLeftBarButtonItem(QWidget* item);
    QWidget* rightBarButtonItem() const { return rightItem_; }
    void setRightBarButtonItem(QWidget* item);
    bool hidesBackButton() const { return hidesBackButton_; }
    void setHidesBackButton(bool hides);

    // The container holding this controller (a navigation stack, a window's root holder, ...).
    ViewController* parentViewController() const;
    // The nearest navigation stack among the containers, or nullptr.
    NavigationController* navigationController() const;

    Appearance appearance() const { return appearance_; }
    // True between viewDidAppear and the next viewWillDisappear.
    bool isAppeared() const { return appearance_ == Appearance::Appeared; }

    // Containers bracket every change of visibility with these two calls. Repeated calls that do
    // not change the state are ignored, so no callback runs twice in a row. The calls reach the
    // controllers listed by appearanceChildren() after this one's will-callback and before its
    // did-callback.
    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition();

signals:
    // The title, title view, bar items or back-button choice changed.
    void navigationItemChanged();

protected:
    // Creates the view; the default is a plain widget. Overrides call setView().
    virtual void loadView();
    void setView(QWidget* view);
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) { Q_UNUSED(animated); }
    virtual void viewDidAppear(bool animated) { Q_UNUSED(animated); }
    virtual void viewWillDisappear(bool animated) { Q_UNUSED(animated); }
    virtual void viewDidDisappear(bool animated) { Q_UNUSED(animated); }

    // Child controllers whose visibility follows this one's (a navigation stack: its top).
    virtual QList<ViewController*> appearanceChildren() const { return {}; }

private:
    void replaceItem(QPointer<QWidget>& slot, QWidget* item);

    QPointer<QWidget> view_;
    QString title_;
    QPointer<QWidget> titleView_;
    QPointer<QWidget> leftItem_;
    QPointer<QWidget> rightItem_;
    bool hidesBackButton_ = false;
    Appearance appearance_ = Appearance::Disappeared;
    bool transitionAnimated_ = false;
    bool loadingView_ = false;
};

}  // namespace oa
