// Fonts of the client: a default family that has Chinese glyphs, and fonts sized in points where
// one point is one logical pixel, as on the phone.
#pragma once

#include <QFont>
#include <QString>

namespace oa {

// Registers any fonts shipped in the resources' "fonts" folder, picks a family that covers
// Simplified Chinese and makes it the application font. Returns the family chosen, or an empty
// text (with a log line) when no installed font has Chinese glyphs. Needs a QApplication.
QString installDefaultFont();

// The application font at a size in points (pixels, not typographic points).
QFont systemFont(int points);
QFont boldSystemFont(int points);

}  // namespace oa
