// ViewController: lazy view loading, navigation items and the appearance state machine.
#include "ui/kit/ViewController.h"

#include "ui/kit/NavigationController.h"

namespace oa {

ViewController::ViewController(QObject* parent) : QObject(parent) {}

ViewController::~ViewController() {
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

ViewController* ViewController::parentViewController() const {
    return qobject_cast<ViewController*>(parent());
}

NavigationController* ViewController::navigationController() const {
    for (QObject* p = parent(); p; p = p->parent()) {
        if (auto* nav = qobject_cast<NavigationController*>(p)) {
            return nav;
        }
    }
    return nullptr;
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
