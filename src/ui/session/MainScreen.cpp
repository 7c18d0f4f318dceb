// MainScreen: finds the phone window among the application's top-level widgets.
#include "ui/session/MainScreen.h"

#include <QApplication>

#include "ui/kit/ViewController.h"
#include "ui/kit/Window.h"

namespace oa {

QSize mainScreenSize() {
    const Window* found = nullptr;
    const auto windows = QApplication::topLevelWidgets();
    for (const QWidget* widget : windows) {
        if (const auto* window = qobject_cast<const Window*>(widget)) {
            if (window->isVisible()) {
                return window->size();
            }
            if (!found) {
                found = window;
            }
        }
    }
    return found ? found->size() : QSize(320, 480);
}

bool isTallScreen() {
    return mainScreenSize().height() >= 568;
}

}  // namespace oa
