// ShownPicture: the screen's copy of a window, else a grab.
#include "app/ShownPicture.h"

#include <QScreen>
#include <QWidget>

namespace oa {

QPixmap shownPicture(QWidget& window) {
    if (QScreen* screen = window.screen()) {
        const QPixmap shown = screen->grabWindow(window.winId());
        if (!shown.isNull() && shown.size() == window.size() * shown.devicePixelRatio()) {
            return shown;
        }
    }
    return window.grab();
}

}  // namespace oa
