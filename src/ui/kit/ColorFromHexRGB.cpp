// colorFromHexRGB: a forgiving reader of hexadecimal colour texts.
#include "ui/kit/ColorFromHexRGB.h"

#include <cstdint>
#include <limits>

namespace oa {

QColor colorFromHexRGB(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) {
        ++i;
    }
    if (i < text.size() && text[i] == u'#') {
        ++i;
    }
    if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        i += 2;
    }
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int digit = 0;
        if (c >= u'0' && c <= u'9') {
            digit = c - u'0';
        } else if (c >= u'a' && c <= u'f') {
            digit = c - u'a' + 10;
        } else if (c >= u'A' && c <= u'F') {
            digit = c - u'A' + 10;
        } else {
            break;
        }
        value = std::min(kMax, value * 16 + static_cast<std::uint64_t>(digit));
    }
    return QColor(static_cast<int>((value >> 16) & 0xff), static_cast<int>((value >> 8) & 0xff),
                  static_cast<int>(value & 0xff));
}

QColor colorFromHexRGB(const std::optional<std::string>& text) {
    return text ? colorFromHexRGB(QString::fromStdString(*text)) : QColor(Qt::black);
}

}  // namespace oa
