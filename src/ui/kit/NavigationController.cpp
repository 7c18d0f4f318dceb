// NavigationController: stack changes, the slide between screens and their appearance callbacks.
#include "ui/kit/NavigationController.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>

#include "core/platform/Log.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/TableView.h"

namespace oa {

namespace {

// The screen's first list that can take the keyboard.
QWidget* focusableList(QWidget* screen) {
    const auto tables = screen->findChildren<TableView*>();
    const auto table = std::find_if(tables.begin(), tables.end(), [](const TableView* list) {
        return list->isVisible() && list->isEnabled() && (list->focusPolicy() & Qt::TabFocus);
    });
    return table != tables.end() ? *table : nullptr;
}

}  // namespace

NavigationController::NavigationController(ViewController* root, QObject* parent)
    : ViewController(parent), bar_(new NavigationBar) {
    bar_->setObjectName(QStringLiteral("navigationBar"));
    connect(bar_, &NavigationBar::backRequested, this, [this] { popViewController(true); });
    if (root) {
        adopt(root);
        stack_.append(root);
    }
    updateBar();
}

NavigationController::~NavigationController() {
    disconnect(qApp, &QApplication::focusChanged, this, &NavigationController::focusChanged);
    if (animation_) {
        animation_->stop();
    }
    finishTransition_ = nullptr;
    for (ViewController* controller : stack_) {
        disconnect(controller, nullptr, this, nullptr);
    }
    stack_.clear();
    delete bar_;
}

QList<ViewController*> NavigationController::viewControllers() const {
    return stack_;
}

NavigationBar* NavigationController::navigationBar() const {
    return bar_;
}

ViewController* NavigationController::topViewController() const {
    return stack_.isEmpty() ? nullptr : stack_.last();
}

ViewController* NavigationController::rootViewController() const {
    return stack_.isEmpty() ? nullptr : stack_.first();
}

void NavigationController::adopt(ViewController* controller) {
    controller->setParent(this);
    connect(controller, &QObject::destroyed, this, &NavigationController::controllerDestroyed,
            Qt::UniqueConnection);
}

void NavigationController::controllerDestroyed(QObject* object) {
    // Only the address is compared: the controller part of the object is already gone.
    lastFocus_.remove(static_cast<ViewController*>(object));
    const qsizetype index = stack_.indexOf(static_cast<ViewController*>(object));
    if (index < 0) {
        return;
    }
    const bool wasTop = index == stack_.size() - 1;
    stack_.removeAt(index);
    if (!wasTop) {
        updateBar();  // the back button names the screen below the top
        return;
    }
    finishRunningTransition();
    if (ViewController* top = topViewController(); top && isViewLoaded()) {
        installView(top);
        if (appearance() == Appearance::Appeared) {
            top->beginAppearanceTransition(true, false);
            top->endAppearanceTransition();
        }
        focusTop();
    }
    updateBar();
}

void NavigationController::pushViewController(ViewController* controller, bool animated) {
    if (!controller || stack_.contains(controller) || controller == this) {
        log("pushViewController: nothing to push");
        return;
    }
    finishRunningTransition();
    ViewController* from = topViewController();
    adopt(controller);
    stack_.append(controller);
    transition(from, controller, Direction::Push, animated, {});
}

ViewController* NavigationController::popViewController(bool animated) {
    if (stack_.size() < 2) {
        return nullptr;
    }
    const auto removed = popToViewController(stack_.at(stack_.size() - 2), animated);
    return removed.isEmpty() ? nullptr : removed.last();
}

QList<ViewController*> NavigationController::popToRootViewController(bool animated) {
    return stack_.isEmpty() ? QList<ViewController*>{}
                            : popToViewController(stack_.first(), animated);
}

QList<ViewController*> NavigationController::popToViewController(ViewController* controller,
                                                                 bool animated) {
    finishRunningTransition();
    const qsizetype index = stack_.indexOf(controller);
    if (index < 0 || index == stack_.size() - 1) {
        return {};
    }
    const QList<ViewController*> removed = stack_.mid(index + 1);
    stack_.resize(index + 1);
    for (ViewController* gone : removed) {
        disconnect(gone, &QObject::destroyed, this, &NavigationController::controllerDestroyed);
    }
    // Screens between the target and the top were not visible and leave without callbacks.
    for (qsizetype i = 0; i + 1 < removed.size(); ++i) {
        if (removed[i]->isViewLoaded()) {
            removed[i]->view()->hide();
        }
    }
    transition(removed.last(), controller, Direction::Pop, animated, removed);
    return removed;
}

void NavigationController::transition(ViewController* from, ViewController* to, Direction direction,
                                      bool animated, QList<ViewController*> removed) {
    QList<QPointer<ViewController>> leaving;
    for (ViewController* gone : removed) {
        leaving.append(gone);
    }
    auto release = [this, leaving] {
        for (const auto& gone : leaving) {
            if (gone && !stack_.contains(gone.data())) {
                lastFocus_.remove(gone.data());
                gone->deleteLater();
            }
        }
    };
    if (from && from->isViewLoaded()) {
        if (QWidget* focused = from->view()->window()->focusWidget();
            focused && from->view()->isAncestorOf(focused)) {
            lastFocus_[from] = focused;
        }
    }
    updateBar();
    if (!isViewLoaded()) {
        // Nothing is on screen yet; the top's view loads with the stack's own.
        release();
        emit transitionFinished();
        return;
    }
    installView(to);
    if (appearance() != Appearance::Appeared) {
        // Off screen (or on the way): swap the views; callbacks only settle what had begun.
        if (from && from->isViewLoaded()) {
            from->view()->hide();
        }
        if (from && from->appearance() != Appearance::Disappeared) {
            from->beginAppearanceTransition(false, false);
            from->endAppearanceTransition();
        }
        if (appearance() == Appearance::Appearing) {
            to->beginAppearanceTransition(true, false);  // ended with the stack's own appearance
        }
        release();
        emit transitionFinished();
        return;
    }

    if (from) {
        from->beginAppearanceTransition(false, animated);
    }
    to->beginAppearanceTransition(true, animated);

    QPointer<ViewController> fromGuard(from);
    QPointer<ViewController> toGuard(to);
    finishTransition_ = [this, fromGuard, toGuard, release] {
        finishTransition_ = nullptr;
        content_->setAttribute(Qt::WA_TransparentForMouseEvents, false);
        if (toGuard && toGuard->isViewLoaded()) {
            toGuard->view()->move(0, 0);
        }
        if (fromGuard && fromGuard != topViewController() && fromGuard->isViewLoaded()) {
            fromGuard->view()->hide();
            fromGuard->view()->move(0, 0);
        }
        if (fromGuard) {
            fromGuard->endAppearanceTransition();
        }
        if (toGuard) {
            toGuard->endAppearanceTransition();
        }
        release();
        focusTop();
        emit transitionFinished();
    };

    if (!animated || transitionDuration_ <= 0 || !from || !from->isViewLoaded()) {
        auto finish = std::move(finishTransition_);
        finish();
        return;
    }

    const int width = content_->width();
    QWidget* incoming = to->view();
    QWidget* outgoing = from->view();
    const bool push = direction == Direction::Push;
    (push ? incoming : outgoing)->raise();
    auto* group = new QParallelAnimationGroup(this);
    auto slide = [&](QWidget* widget, int fromX, int toX) {
        auto* animation = new QPropertyAnimation(widget, "pos", group);
        animation->setDuration(transitionDuration_);
        animation->setEasingCurve(QEasingCurve::InOutCubic);
        animation->setStartValue(QPoint(fromX, 0));
        animation->setEndValue(QPoint(toX, 0));
        widget->move(fromX, 0);
        group->addAnimation(animation);
    };
    slide(incoming, push ? width : -width, 0);
    slide(outgoing, 0, push ? -width : width);
    // Taps during the slide would land on a screen that is leaving.
    content_->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    connect(group, &QAbstractAnimation::finished, this, [this] {
        if (finishTransition_) {
            auto finish = std::move(finishTransition_);
            finish();
        }
    });
    animation_ = group;
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

void NavigationController::finishRunningTransition() {
    if (animation_) {
        animation_->stop();  // deletes the group; its finished signal is not emitted
    }
    if (finishTransition_) {
        auto finish = std::move(finishTransition_);
        finish();
    }
}

void NavigationController::revealTransition(int milliseconds, Qt::Edge towards) {
    if (milliseconds <= 0 || !isViewLoaded() || !view()->isVisible()) {
        return;
    }
    finishRunningTransition();
    delete revealCover_;
    QWidget* container = view();
    auto* cover = new QLabel(container);
    cover->setObjectName(QStringLiteral("revealCover"));
    cover->setPixmap(container->grab());
    cover->setGeometry(container->rect());
    cover->setAttribute(Qt::WA_TransparentForMouseEvents);
    cover->show();
    cover->raise();
    revealCover_ = cover;

    QPoint end;
    switch (towards) {
        case Qt::LeftEdge:
            end = {-container->width(), 0};
            break;
        case Qt::RightEdge:
            end = {container->width(), 0};
            break;
        case Qt::TopEdge:
            end = {0, -container->height()};
            break;
        case Qt::BottomEdge:
            end = {0, container->height()};
            break;
    }
    auto* slide = new QPropertyAnimation(cover, "pos", cover);
    slide->setDuration(milliseconds);
    slide->setEasingCurve(QEasingCurve::InOutQuad);
    slide->setStartValue(QPoint(0, 0));
    slide->setEndValue(end);
    connect(slide, &QAbstractAnimation::finished, cover, &QObject::deleteLater);
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

ViewController* NavigationController::popViewControllerWithReveal(int milliseconds,
                                                                  Qt::Edge towards) {
    if (stack_.size() < 2) {
        return nullptr;
    }
    revealTransition(milliseconds, towards);
    return popViewController(false);
}

void NavigationController::loadView() {
    auto* container = new QWidget;
    container->setObjectName(QStringLiteral("navigationView"));
    container->installEventFilter(this);
    // Only while the focus is on the stack: a sheet or alert over it keeps these keys.
    auto addShortcut = [this, container](QList<QKeySequence> keys, auto action) {
        auto* shortcut = new QShortcut(container);
        shortcut->setKeys(keys);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    addShortcut({QKeySequence(Qt::CTRL | Qt::Key_N)},
                [this] { pressTopButton(&ViewController::composeButton); });
    addShortcut({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)},
                [this] { pressTopButton(&ViewController::sendButton); });
    connect(qApp, &QApplication::focusChanged, this, &NavigationController::focusChanged);
    content_ = new QWidget(container);
    content_->setObjectName(QStringLiteral("navigationContent"));
    if (bar_) {
        bar_->setParent(container);
        bar_->raise();
    }
    setView(container);
    if (ViewController* top = topViewController()) {
        installView(top);
    }
    layoutContent();
    updateBar();
}

QList<ViewController*> NavigationController::appearanceChildren() const {
    if (ViewController* top = topViewController()) {
        return {top};
    }
    return {};
}

bool NavigationController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && isViewLoaded() && watched == view()) {
        layoutContent();
    }
    // Escape that no control inside wanted (a field, a sheet's own handling) comes up to here.
    if (event->type() == QEvent::KeyPress && isViewLoaded() && watched == view()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            if (!key->isAutoRepeat()) {
                goBack();
            }
            return true;
        }
    }
    return ViewController::eventFilter(watched, event);
}

void NavigationController::installView(ViewController* controller) {
    QWidget* widget = controller->view();
    if (widget->parentWidget() != content_) {
        widget->setParent(content_);
    }
    widget->setGeometry(0, 0, content_->width(), content_->height());
    widget->show();
    widget->raise();
}

void NavigationController::setNavigationBarHidden(bool hidden, bool animated) {
    // The bar appears and goes at once; `animated` is kept for the callers' sake.
    Q_UNUSED(animated);
    if (barHidden_ == hidden) {
        return;
    }
    barHidden_ = hidden;
    if (isViewLoaded()) {
        layoutContent();
    }
}

void NavigationController::layoutContent() {
    if (!content_) {
        return;
    }
    const QSize size = view()->size();
    const int top = barHidden_ ? 0 : NavigationBar::kHeight;
    if (bar_) {
        bar_->setGeometry(0, 0, size.width(), NavigationBar::kHeight);
        bar_->setVisible(!barHidden_);
    }
    content_->setGeometry(0, top, size.width(), std::max(0, size.height() - top));
    for (ViewController* controller : stack_) {
        if (controller->isViewLoaded()) {
            QWidget* widget = controller->view();
            // A sliding screen keeps its horizontal position; the animation owns it.
            widget->setGeometry(widget->x(), 0, content_->width(), content_->height());
        }
    }
}

void NavigationController::updateBar() {
    disconnect(topConnection_);
    if (!bar_) {
        return;
    }
    ViewController* top = topViewController();
    if (!top) {
        bar_->setItems({}, nullptr, nullptr, nullptr);
        return;
    }
    QWidget* left = top->leftBarButtonItem();
    if (!left && stack_.size() > 1 && !top->hidesBackButton()) {
        const ViewController* below = stack_.at(stack_.size() - 2);
        QString previous = below->backButtonTitle();
        if (previous.isEmpty()) {
            previous = below->title();
        }
        bar_->setBackButtonTitle(previous.isEmpty() ? QStringLiteral("返回") : previous);
        left = bar_->backButton();
    }
    bar_->setItems(top->title(), top->titleView(), left, top->rightBarButtonItem());
    topConnection_ = connect(top, &ViewController::navigationItemChanged, this,
                             &NavigationController::updateBar);
}

void NavigationController::goBack() {
    ViewController* top = topViewController();
    if (!top || stack_.size() < 2) {
        return;
    }
    // The screen's own back button may ask first (unsaved text) or do more than pop.
    if (QWidget* left = top->leftBarButtonItem()) {
        auto* button = qobject_cast<QAbstractButton*>(left);
        if (button && button->isEnabled()) {
            button->click();
        }
        return;
    }
    if (!top->hidesBackButton()) {
        popViewController(true);
    }
}

void NavigationController::pressTopButton(QAbstractButton* (ViewController::*button)() const) {
    ViewController* top = topViewController();
    if (!top || isTransitioning()) {
        return;
    }
    QAbstractButton* target = (top->*button)();
    if (target && target->isEnabled() && target->isVisible()) {
        target->click();
    }
}

void NavigationController::focusChanged(QWidget* old, QWidget* now) {
    if (!isViewLoaded() || !view()->isVisible()) {
        return;
    }
    QWidget* container = view();
    ViewController* top = topViewController();
    if (top && top->isViewLoaded() && old && top->view()->isAncestorOf(old) && now &&
        !container->isAncestorOf(now)) {
        lastFocus_[top] = old;  // a sheet or alert takes the focus for a while
    }
    // A field that gives up the keyboard (a message sent, a tap beside it) leaves the focus
    // nowhere, where Escape and Tab would do nothing: the screen's list takes it, or the screen.
    if (!now && old && top && top->isViewLoaded() && top->view()->isAncestorOf(old) &&
        container->isActiveWindow() && !isTransitioning()) {
        QWidget* list = focusableList(top->view());
        (list ? list : top->view())->setFocus(Qt::OtherFocusReason);
        return;
    }
    // A sheet, alert or pop-up list that closes leaves the focus wherever the focus chain goes
    // next; the screen gets it back instead.
    if (old && !old->isVisible() && old != container && !container->isAncestorOf(old) &&
        old->window() == container->window()) {
        focusTop(true);
    }
}

void NavigationController::focusTop(bool popupClosed) {
    ViewController* top = topViewController();
    if (!top || !top->isViewLoaded() || isTransitioning()) {
        return;
    }
    QWidget* screen = top->view();
    if (!screen->isVisible()) {
        return;
    }
    QWidget* focused = screen->window()->focusWidget();
    if (focused && focused->isVisible() && !view()->isAncestorOf(focused) &&
        focused != screen->window()) {
        return;  // a sheet over the screen holds the focus
    }
    auto usable = [screen](QWidget* widget) {
        return widget && screen->isAncestorOf(widget) && widget->isVisible() &&
               widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus);
    };
    QWidget* target = lastFocus_.value(top);
    if (focused && screen->isAncestorOf(focused) && (!popupClosed || !usable(target))) {
        return;  // the screen chose (after a pop-up, only when it had nothing to hand back)
    }
    if (!usable(target)) {
        target = top->preferredFocusWidget();
    }
    if (!usable(target)) {
        // A list screen starts on its list; others on their first control.
        target = focusableList(screen);
    }
    for (QWidget* next = screen->nextInFocusChain(); !target && next != screen;
         next = next->nextInFocusChain()) {
        if (usable(next)) {
            target = next;
        }
    }
    if (target) {
        // As a pop-up hands it back: a field goes on editing if it was, and begins nothing.
        target->setFocus(Qt::PopupFocusReason);
    }
}

}  // namespace oa
