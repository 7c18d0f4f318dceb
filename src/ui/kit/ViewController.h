// ViewController: one screen of the client. Owns a lazily loaded view, the items its navigation
// bar shows while it is on top, and receives appearance callbacks from its container.
#pragma once

#include <QAbstractButton>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QVariantAnimation;

namespace oa {

class BarButton;
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
    // The control that takes the keyboard when the screen comes up with nothing of its own
    // focused; without one, a navigation stack gives it to the screen's list or first control.
    virtual QWidget* preferredFocusWidget() const { return nullptr; }

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
    // Title of the default back button of the screens pushed above this one; empty means this
    // screen's title.
    QString backButtonTitle() const { return backButtonTitle_; }
    void setBackButtonTitle(const QString& title);

    // The custom back button of the pushed screens ("  返回" on "btnback1.png", 50 x 25) as the
    // left item. A click runs `action`, by default popping this screen, animated.
    BarButton* setCustomBackButton(std::function<void()> action = {});
    // A right item in the same style: `title` on "btn_background1", 50 x 25; a click runs
    // `action`.
    BarButton* setRightBarButton(const QString& title, std::function<void()> action);

    // The buttons a navigation stack presses for Ctrl+N (the module's "write" button) and for
    // Ctrl+Enter (a writing screen's send or save button) while this screen is on top; not
    // owned, nullptr for none.
    QAbstractButton* composeButton() const { return composeButton_; }
    void setComposeButton(QAbstractButton* button) { composeButton_ = button; }
    QAbstractButton* sendButton() const { return sendButton_; }
    void setSendButton(QAbstractButton* button) { sendButton_ = button; }

    // Modal presentation: `controller` covers the whole window, sliding up from the bottom when
    // animated, over the outermost container of this screen (its navigation stack, say), which
    // disappears meanwhile and appears again on dismissal. The presenter owns the presented
    // controller until it is dismissed; it is deleted after that. One at a time: presenting
    // while something is presented does nothing. `completion` runs when the slide is over.
    void presentViewController(ViewController* controller, bool animated,
                               std::function<void()> completion = {});
    // Dismisses what this screen (or its outermost container) presented, or, called on a
    // presented screen, that screen itself.
    void dismissViewController(bool animated, std::function<void()> completion = {});
    ViewController* presentedViewController() const { return presented_; }
    ViewController* presentingViewController() const { return presenting_; }
    // Length of the presentation slide; 0 makes animated changes immediate.
    static constexpr int kPresentationMs = 300;

    // The container holding this controller (a navigation stack, a window's root holder, ...);
    // none for a presented controller.
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
    ViewController* outermostContainer();
    void finishModalTransition();
    void presentedDestroyed();

    QPointer<QWidget> view_;
    QString title_;
    QPointer<QWidget> titleView_;
    QPointer<QWidget> leftItem_;
    QPointer<QWidget> rightItem_;
    bool hidesBackButton_ = false;
    QPointer<QAbstractButton> composeButton_;
    QPointer<QAbstractButton> sendButton_;
    QString backButtonTitle_;
    QPointer<ViewController> presented_;
    QPointer<ViewController> presenting_;
    QPointer<QVariantAnimation> modalSlide_;
    std::function<void()> finishModal_;
    QMetaObject::Connection presentedConnection_;
    bool coveredByPresentation_ = false;
    Appearance appearance_ = Appearance::Disappeared;
    bool transitionAnimated_ = false;
    bool loadingView_ = false;
};

}  // namespace oa
