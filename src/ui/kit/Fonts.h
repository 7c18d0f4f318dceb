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

// `font` for drawing `text`: itself when its first family draws every character of the text,
// else with a family that does put in front (the first family still draws what that one
// lacks). A font may list a character and draw it blank (the Chinese default draws "℃" as
// nothing), which Qt's own fallback does not see: what a family draws is judged by the glyph's
// outline. Characters below U+0080 are taken as drawn; the answers are kept per family and
// character. Main thread only.
QFont fontForText(const QFont& font, const QString& text);

}  // namespace oa
