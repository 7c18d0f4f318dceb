// NavigationController: a stack of screens under a navigation bar. Pushing slides the new screen
// in from the right, popping slides it back out; each screen can show or hide the bar.
//
// The keys of the whole stack live here: Escape is the way back (the top's left bar button, or
// the default back button; nothing on the root), Ctrl+N presses the top's compose button and
// Ctrl+Enter its send button. The keyboard focus follows the screens: a screen shown again gets
// back the control it had, a new one its list or its first control, and a sheet or alert that
// closes hands the focus back to the screen.
#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <functional>

#include "ui/kit/ViewController.h"

class QParallelAnimationGroup;

namespace oa {

class NavigationBar;

class NavigationController : public ViewController {
    Q_OBJECT
public:
    // The root stays at the bottom of the stack until it is destroyed.
    explicit NavigationController(ViewController* root, QObject* parent = nullptr);
    ~NavigationController() override;

    // The stack takes ownership of a pushed controller. Pushing one that is already on the
    // stack, or nullptr, does nothing.
    void pushViewController(ViewController* controller, bool animated);
    // Removes the top controller (never the root) and returns it; it is deleted once it has
    // disappeared, so the pointer only serves comparisons and QPointer guards.
    ViewController* popViewController(bool animated);
    // Removes every controller above `controller` and returns them, bottom first; they are
    // deleted once the top one has disappeared. Nothing happens when `controller` is not on the
    // stack.
    QList<ViewController*> popToViewController(ViewController* controller, bool animated);
    QList<ViewController*> popToRootViewController(bool animated);

    QList<ViewController*> viewControllers() const;
    ViewController* topViewController() const;
    ViewController* rootViewController() const;

    NavigationBar* navigationBar() const;
    bool isNavigationBarHidden() const { return barHidden_; }
    void setNavigationBarHidden(bool hidden, bool animated = false);

    // Length of the slide animation; 0 makes animated changes immediate as well.
    void setTransitionDuration(int milliseconds) { transitionDuration_ = milliseconds; }
    int transitionDuration() const { return transitionDuration_; }
    bool isTransitioning() const { return finishTransition_ != nullptr; }
    // Ends a running slide at once, with every callback it owes.
    void finishRunningTransition();

    // Covers the stack with a picture of what it shows now, which then slides off towards
    // `towards` over `milliseconds`, uncovering whatever the stack shows by then. Called right
    // before a change made without animation, it turns that change into a reveal; the change
    // and its callbacks happen at once, only the picture moves. Taps reach the screen beneath.
    void revealTransition(int milliseconds, Qt::Edge towards = Qt::RightEdge);
    // A pop without slide, revealed as above.
    ViewController* popViewControllerWithReveal(int milliseconds, Qt::Edge towards = Qt::RightEdge);
    bool isRevealing() const { return !revealCover_.isNull(); }

signals:
    // A push or pop has ended: the new top has appeared (when the stack is on screen).
    void transitionFinished();

protected:
    void loadView() override;
    QList<ViewController*> appearanceChildren() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Direction { Push, Pop };

    void adopt(ViewController* controller);
    void controllerDestroyed(QObject* object);
    void transition(ViewController* from, ViewController* to, Direction direction, bool animated,
                    QList<ViewController*> removed);
    void installView(ViewController* controller);
    void layoutContent();
    void updateBar();
    void goBack();
    void pressTopButton(QAbstractButton* (ViewController::*button)() const);
    void focusChanged(QWidget* old, QWidget* now);
    // Gives the top screen the keyboard focus when it has none; `popupClosed`: also takes it back
    // from wherever the focus chain went when a sheet closed.
    void focusTop(bool popupClosed = false);

    QList<ViewController*> stack_;  // bottom first
    QWidget* content_ = nullptr;    // part of the view below the bar; holds the screens' views
    QPointer<NavigationBar> bar_;   // created with the stack, placed in the view when it loads
    bool barHidden_ = false;
    int transitionDuration_ = 300;
    QPointer<QParallelAnimationGroup> animation_;
    QPointer<QWidget> revealCover_;
    std::function<void()> finishTransition_;
    QMetaObject::Connection topConnection_;
    QHash<const ViewController*, QPointer<QWidget>> lastFocus_;  // per screen on the stack
};

}  // namespace oa
