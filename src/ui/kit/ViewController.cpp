// ViewController: lazy view loading, navigation items, the appearance state machine and modal
// presentation.
#include "ui/kit/ViewController.h"

#include <QPropertyAnimation>

#include "core/platform/Log.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/NavigationController.h"

namespace oa {

ViewController::ViewController(QObject* parent) : QObject(parent) {}

ViewController::~ViewController() {
    if (modalSlide_) {
        modalSlide_->stop();
    }
    finishModal_ = nullptr;
    disconnect(presentedConnection_);
    // The view and the bar items may sit in another controller's widget tree; they are still ours.
    for (QWidget* owned : {view_.data(), titleView_.data(), leftItem_.data(), rightItem_.data()}) {
        delete owned;
    }
}

QWidget* ViewController::view() {
    if (!view_ && !loadingView_) {
        loadingView_ = true;
        loadView();
        if (!view_) {
            setView(new QWidget);
        }
        loadingView_ = false;
        viewDidLoad();
    }
    return view_;
}

void ViewController::loadView() {
    setView(new QWidget);
}

void ViewController::setView(QWidget* view) {
    if (view_ == view) {
        return;
    }
    if (view_) {
        view_->deleteLater();
    }
    view_ = view;
}

void ViewController::setTitle(const QString& title) {
    if (title_ == title) {
        return;
    }
    title_ = title;
    emit navigationItemChanged();
}

void ViewController::replaceItem(QPointer<QWidget>& slot, QWidget* item) {
    if (slot == item) {
        return;
    }
    if (slot) {
        // The old item may be the button whose click led here.
        slot->hide();
        slot->deleteLater();
    }
    slot = item;
    if (item) {
        item->hide();  // shown by the navigation bar while this controller is on top
    }
    emit navigationItemChanged();
}

void ViewController::setTitleView(QWidget* view) {
    replaceItem(titleView_, view);
}

void ViewController::setLeftBarButtonItem(QWidget* item) {
    replaceItem(leftItem_, item);
}

void ViewController::setRightBarButtonItem(QWidget* item) {
    replaceItem(rightItem_, item);
}

void ViewController::setHidesBackButton(bool hides) {
    if (hidesBackButton_ == hides) {
        return;
    }
    hidesBackButton_ = hides;
    emit navigationItemChanged();
}

void ViewController::setBackButtonTitle(const QString& title) {
    if (backButtonTitle_ == title) {
        return;
    }
    backButtonTitle_ = title;
    emit navigationItemChanged();
}

BarButton* ViewController::setCustomBackButton(std::function<void()> action) {
    BarButton* button = BarButton::backButton();
    connect(button, &QPushButton::clicked, this, [this, action = std::move(action)] {
        if (action) {
            action();
        } else if (NavigationController* nav = navigationController()) {
            nav->popViewController(true);
        }
    });
    setLeftBarButtonItem(button);
    return button;
}

BarButton* ViewController::setRightBarButton(const QString& title, std::function<void()> action) {
    BarButton* button = BarButton::rightButton(title);
    connect(button, &QPushButton::clicked, this, [action = std::move(action)] {
        if (action) {
            action();
        }
    });
    setRightBarButtonItem(button);
    return button;
}

ViewController* ViewController::parentViewController() const {
    if (presenting_) {
        return nullptr;
    }
    return qobject_cast<ViewController*>(parent());
}

NavigationController* ViewController::navigationController() const {
    if (presenting_) {
        return nullptr;
    }
    for (QObject* p = parent(); p; p = p->parent()) {
        if (auto* nav = qobject_cast<NavigationController*>(p)) {
            return nav;
        }
        // A presented controller starts a new hierarchy: nothing above it counts.
        if (auto* controller = qobject_cast<ViewController*>(p);
            controller && controller->presenting_) {
            return nullptr;
        }
    }
    return nullptr;
}

ViewController* ViewController::outermostContainer() {
    ViewController* outer = this;
    while (ViewController* above = outer->parentViewController()) {
        outer = above;
    }
    return outer;
}

void ViewController::finishModalTransition() {
    if (modalSlide_) {
        modalSlide_->stop();  // deletes it; its finished signal is not emitted
    }
    if (finishModal_) {
        auto finish = std::move(finishModal_);
        finish();
    }
}

void ViewController::presentViewController(ViewController* controller, bool animated,
                                           std::function<void()> completion) {
    ViewController* presenter = outermostContainer();
    if (!controller || controller == presenter || controller->presenting_ ||
        controller->outermostContainer() == presenter) {
        log("presentViewController: nothing to present");
        return;
    }
    presenter->finishModalTransition();
    if (presenter->presented_) {
        log("presentViewController: a screen is presented already");
        return;
    }
    controller->setParent(presenter);
    controller->presenting_ = presenter;
    presenter->presented_ = controller;
    presenter->presentedConnection_ = connect(controller, &QObject::destroyed, presenter,
                                              [presenter] { presenter->presentedDestroyed(); });

    QWidget* under = presenter->view();
    QWidget* host = under->parentWidget() ? under->parentWidget() : under;
    const QRect area = host == under ? under->rect() : under->geometry();
    const bool onScreen = presenter->appearance() == Appearance::Appeared;
    presenter->coveredByPresentation_ = onScreen;
    if (onScreen) {
        presenter->beginAppearanceTransition(false, animated);
        controller->beginAppearanceTransition(true, animated);
    }
    QWidget* cover = controller->view();
    cover->setParent(host);
    cover->setGeometry(area);
    cover->show();
    cover->raise();

    const QPointer<ViewController> shown(controller);
    const QPointer<QWidget> hidden(under != host ? under : nullptr);
    presenter->finishModal_ = [presenter, shown, hidden, onScreen, completion] {
        presenter->finishModal_ = nullptr;
        if (hidden) {
            hidden->hide();  // covered; no need to paint it
        }
        if (onScreen) {
            presenter->endAppearanceTransition();
            if (shown) {
                shown->endAppearanceTransition();
            }
        }
        if (completion) {
            completion();
        }
    };
    if (!animated || kPresentationMs <= 0 || !host->isVisible()) {
        presenter->finishModalTransition();
        return;
    }
    auto* slide = new QPropertyAnimation(cover, "pos", presenter);
    slide->setDuration(kPresentationMs);
    slide->setEasingCurve(QEasingCurve::OutCubic);
    slide->setStartValue(QPoint(area.x(), area.y() + area.height()));
    slide->setEndValue(area.topLeft());
    cover->move(area.x(), area.y() + area.height());
    connect(slide, &QAbstractAnimation::finished, presenter,
            [presenter] { presenter->finishModalTransition(); });
    presenter->modalSlide_ = slide;
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

void ViewController::dismissViewController(bool animated, std::function<void()> completion) {
    ViewController* outer = outermostContainer();
    ViewController* presenter =
        presented_ ? this : (outer->presented_ ? outer : outer->presenting_.data());
    if (!presenter) {
        return;
    }
    presenter->finishModalTransition();
    ViewController* gone = presenter->presented_;
    if (!gone) {
        return;
    }
    // Screens that `gone` presented in turn leave with it: the one on top is what the user sees
    // and gets the callbacks; those in between stay covered and leave without any.
    ViewController* top = gone;
    while (top->presented_) {
        top->finishModalTransition();
        top = top->presented_;
    }
    for (ViewController* between = gone; between != top; between = between->presented_) {
        if (between->isViewLoaded()) {
            between->view()->hide();
        }
    }
    QWidget* under = presenter->isViewLoaded() ? presenter->view() : nullptr;
    QWidget* cover = top->isViewLoaded() ? top->view() : nullptr;
    const bool onScreen = presenter->coveredByPresentation_;
    presenter->coveredByPresentation_ = false;
    if (under) {
        under->show();
        if (cover) {
            cover->raise();
        }
    }
    if (onScreen) {
        top->beginAppearanceTransition(false, animated);
        presenter->beginAppearanceTransition(true, animated);
    }

    const QPointer<ViewController> leaving(gone);
    const QPointer<ViewController> seen(top);
    const QPointer<QWidget> coverGuard(cover);
    presenter->finishModal_ = [presenter, leaving, seen, coverGuard, onScreen, completion] {
        presenter->finishModal_ = nullptr;
        disconnect(presenter->presentedConnection_);
        presenter->presented_ = nullptr;
        if (coverGuard) {
            coverGuard->hide();
        }
        if (seen && onScreen) {
            seen->endAppearanceTransition();
        }
        if (leaving) {
            leaving->presenting_ = nullptr;
            leaving->deleteLater();  // with whatever it presented
        }
        if (onScreen) {
            presenter->endAppearanceTransition();
        }
        if (completion) {
            completion();
        }
    };
    if (!animated || kPresentationMs <= 0 || !cover || !cover->isVisible()) {
        presenter->finishModalTransition();
        return;
    }
    const QWidget* host = cover->parentWidget();
    auto* slide = new QPropertyAnimation(cover, "pos", presenter);
    slide->setDuration(kPresentationMs);
    slide->setEasingCurve(QEasingCurve::InCubic);
    slide->setStartValue(cover->pos());
    slide->setEndValue(QPoint(cover->x(), host ? host->height() : cover->y() + cover->height()));
    connect(slide, &QAbstractAnimation::finished, presenter,
            [presenter] { presenter->finishModalTransition(); });
    presenter->modalSlide_ = slide;
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

void ViewController::presentedDestroyed() {
    // The presented screen was deleted without a dismissal: uncover this one.
    finishModalTransition();
    presented_ = nullptr;
    if (!coveredByPresentation_) {
        return;
    }
    coveredByPresentation_ = false;
    if (isViewLoaded()) {
        view()->show();
    }
    beginAppearanceTransition(true, false);
    endAppearanceTransition();
}

void ViewController::beginAppearanceTransition(bool appearing, bool animated) {
    const Appearance target = appearing ? Appearance::Appearing : Appearance::Disappearing;
    const Appearance settled = appearing ? Appearance::Appeared : Appearance::Disappeared;
    if (appearance_ == target || appearance_ == settled) {
        return;
    }
    appearance_ = target;
    transitionAnimated_ = animated;
    if (appearing) {
        view();
        viewWillAppear(animated);
    } else {
        viewWillDisappear(animated);
    }
    for (ViewController* child : appearanceChildren()) {
        child->beginAppearanceTransition(appearing, animated);
    }
}

void ViewController::endAppearanceTransition() {
    if (appearance_ != Appearance::Appearing && appearance_ != Appearance::Disappearing) {
        return;
    }
    const bool appearing = appearance_ == Appearance::Appearing;
    for (ViewController* child : appearanceChildren()) {
        // A child that became visible while this one was appearing has not begun yet.
        child->beginAppearanceTransition(appearing, transitionAnimated_);
        child->endAppearanceTransition();
    }
    appearance_ = appearing ? Appearance::Appeared : Appearance::Disappeared;
    if (appearing) {
        viewDidAppear(transitionAnimated_);
    } else {
        viewDidDisappear(transitionAnimated_);
    }
}

}  // namespace oa
