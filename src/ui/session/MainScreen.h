// The phone screen the client runs on, as the screens that lay themselves out by it see it: the
// size in points of the client's window.
#pragma once

#include <QSize>

namespace oa {

// The size of the phone window (the first oa::Window among the top-level widgets, a visible one
// preferred); 320 x 480 while there is none.
QSize mainScreenSize();
// The 320 x 568 screen (640 x 1136 pixels), on which several screens place things lower or
// differently.
bool isTallScreen();

}  // namespace oa
