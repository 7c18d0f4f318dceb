// Reading a hexadecimal colour text: digits up to the first other character, saturating at 32
// bits.
#include "ui/controller/main/HexColor.h"

#include <cstdint>

namespace oa {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

}  // namespace

QColor colorFromHexRGB(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    // "0x" counts as a prefix only when a digit follows; "0xg" is the number 0.
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        hexDigit(text[i + 2]) >= 0) {
        i += 2;
    }
    std::uint64_t value = 0;
    for (; i < text.size() && hexDigit(text[i]) >= 0; ++i) {
        value = value * 16 + std::uint64_t(hexDigit(text[i]));
        if (value > 0xffffffffu) {
            value = 0xffffffffu;
        }
    }
    return QColor(int((value >> 16) & 0xff), int((value >> 8) & 0xff), int(value & 0xff));
}

QColor colorFromHexRGB(const Text& text) {
    return text ? colorFromHexRGB(std::string_view(*text)) : QColor(0, 0, 0);
}

}  // namespace oa
