// Colours the server sends as hexadecimal text ("ff8080", "0xff8080"), read as the phone client
// reads them, so that a malformed value gives black rather than an error.
#pragma once

#include <QColor>
#include <string_view>

#include "core/protocol/BaseVO.h"

namespace oa {

// The opaque colour whose red, green and blue are bits 16-23, 8-15 and 0-7 of the number the
// text starts with: leading white space and an optional "0x" are skipped and reading stops at
// the first character that is not a hexadecimal digit. A text without digits gives black; a
// number past 32 bits reads as 0xffffffff (white). A leading "#" is not skipped: callers remove
// it first.
QColor colorFromHexRGB(std::string_view text);
QColor colorFromHexRGB(const Text& text);

}  // namespace oa
