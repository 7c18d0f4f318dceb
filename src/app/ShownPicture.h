// Pictures of a window as the screen shows it, for --screenshot and the tour.
#pragma once

#include <QPixmap>

class QWidget;

namespace oa {

// What `window` shows: read back from the screen (painted by the window system, web pages of
// the engine's compositor included), or, where the screen cannot give it, the window drawn once
// more.
QPixmap shownPicture(QWidget& window);

}  // namespace oa
