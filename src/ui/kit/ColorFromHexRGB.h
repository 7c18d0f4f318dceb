// colorFromHexRGB: the opaque colour a server text such as "#FF8080" or "0x336699" names.
#pragma once

#include <QColor>
#include <QString>
#include <optional>
#include <string>

namespace oa {

// Reads the text as a hexadecimal number: blanks before it, then an optional "#", then an
// optional "0x", then digits up to the first character that is not one; red comes from bits 16
// to 23, green from 8 to 15, blue from 0 to 7. Text without digits (also absent or empty text)
// gives black; a number too large for 32 bits reads as 0xFFFFFFFF (white).
QColor colorFromHexRGB(QStringView text);
QColor colorFromHexRGB(const std::optional<std::string>& text);

}  // namespace oa
