// Window: the root controller's view fills the window; showing and closing it drive the root's
// appearance callbacks.
#include "ui/kit/Window.h"

#include <QCloseEvent>
#include <QGuiApplication>

#include "ui/kit/AccessibleKit.h"
#include "ui/kit/ViewController.h"

namespace oa {

Window::Window(QSize screenSize, QWidget* parent) : QWidget(parent) {
    setFixedSize(screenSize);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    installAccessibleKit();
}

Window::~Window() {
    delete root_;
}

void Window::setRootViewController(ViewController* controller) {
    if (root_ == controller) {
        return;
    }
    const bool onScreen = isVisible();
    if (root_) {
        if (onScreen) {
            root_->beginAppearanceTransition(false, false);
            root_->endAppearanceTransition();
        }
        root_->deleteLater();
    }
    root_ = controller;
    if (!root_) {
        return;
    }
    root_->setParent(this);
    if (onScreen) {
        root_->beginAppearanceTransition(true, false);
        installRootView();
        root_->endAppearanceTransition();
    }
}

void Window::installRootView() {
    QWidget* view = root_->view();
    if (view->parentWidget() != this) {
        view->setParent(this);
    }
    view->setGeometry(rect());
    view->show();
}

void Window::makeKeyAndVisible() {
    if (root_) {
        installRootView();
        root_->beginAppearanceTransition(true, false);
    }
    show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        raise();  // the headless platform warns that it cannot
        activateWindow();
    }
    if (root_) {
        root_->endAppearanceTransition();
    }
}

void Window::bringToFront() {
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        raise();  // the headless platform warns that it cannot
    }
    activateWindow();
}

void Window::rebuildNativeWindow(const std::function<void()>& change) {
    const bool shown = isVisible();
    hide();
    destroy(true, true);
    change();
    if (shown) {
        bringToFront();
    }
}

void Window::resizeEvent(QResizeEvent*) {
    if (root_ && root_->isViewLoaded()) {
        root_->view()->setGeometry(rect());
    }
}

void Window::closeEvent(QCloseEvent* event) {
    if (root_) {
        root_->beginAppearanceTransition(false, false);
        root_->endAppearanceTransition();
    }
    event->accept();
}

}  // namespace oa
