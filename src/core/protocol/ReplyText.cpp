// Text operations shared by the reply parsers and the request builders.
#include "core/protocol/ReplyText.h"

#include <array>
#include <limits>

namespace oa {

namespace {

bool isAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// UTF-8 forms of the non-ASCII white space and line-break characters.
constexpr std::array<std::string_view, 19> kUnicodeSpaces = {
    "\xC2\x85",     "\xC2\xA0",     "\xE1\x9A\x80", "\xE2\x80\x80", "\xE2\x80\x81",
    "\xE2\x80\x82", "\xE2\x80\x83", "\xE2\x80\x84", "\xE2\x80\x85", "\xE2\x80\x86",
    "\xE2\x80\x87", "\xE2\x80\x88", "\xE2\x80\x89", "\xE2\x80\x8A", "\xE2\x80\xA8",
    "\xE2\x80\xA9", "\xE2\x80\xAF", "\xE2\x81\x9F", "\xE3\x80\x80",
};

size_t spaceAtFront(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    if (isAsciiSpace(text.front())) {
        return 1;
    }
    for (std::string_view space : kUnicodeSpaces) {
        if (text.starts_with(space)) {
            return space.size();
        }
    }
    return 0;
}

size_t spaceAtBack(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    if (isAsciiSpace(text.back())) {
        return 1;
    }
    for (std::string_view space : kUnicodeSpaces) {
        if (text.ends_with(space)) {
            return space.size();
        }
    }
    return 0;
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether an image source already names its own location: "scheme:" or "//host".
bool isAbsoluteSource(std::string_view source) {
    if (source.starts_with("//")) {
        return true;
    }
    if (source.empty() || !isAsciiLetter(source.front())) {
        return false;
    }
    for (size_t i = 1; i < source.size(); ++i) {
        char c = source[i];
        if (c == ':') {
            return true;
        }
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return false;
}

}  // namespace

long long integerValue(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isAsciiSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr long long kMax = std::numeric_limits<long long>::max();
    constexpr long long kMin = std::numeric_limits<long long>::min();
    long long value = 0;
    for (; i < text.size() && isAsciiDigit(text[i]); ++i) {
        int digit = text[i] - '0';
        // Accumulate towards the sign so that the most negative value is reachable.
        if (negative) {
            if (value < (kMin + digit) / 10) {
                return kMin;
            }
            value = value * 10 - digit;
        } else {
            if (value > (kMax - digit) / 10) {
                return kMax;
            }
            value = value * 10 + digit;
        }
    }
    return value;
}

std::string trimWhitespace(std::string_view text) {
    while (size_t n = spaceAtFront(text)) {
        text.remove_prefix(n);
    }
    while (size_t n = spaceAtBack(text)) {
        text.remove_suffix(n);
    }
    return std::string(text);
}

std::vector<std::string> splitKeepingEmpty(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t pos = text.find(separator); pos != std::string_view::npos;
         pos = text.find(separator, start)) {
        pieces.emplace_back(text.substr(start, pos - start));
        start = pos + 1;
    }
    pieces.emplace_back(text.substr(start));
    return pieces;
}

std::string cleanDialogReply(std::string_view reply) {
    const std::string trimmed = trimWhitespace(reply);
    std::string text;
    text.reserve(trimmed.size());
    bool inString = false;
    bool escaped = false;
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        const char c = trimmed[i];
        if (!inString) {
            inString = c == '"';
            text += c;
        } else if (escaped) {
            escaped = false;
            text += c;
        } else if (c == '\r' || c == '\n') {
            // A typed line break, written raw: "\r\n" is one break.
            if (c == '\r' && i + 1 < trimmed.size() && trimmed[i + 1] == '\n') {
                ++i;
            }
            text += "\\n";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            constexpr char kHex[] = "0123456789abcdef";
            text += "\\u00";
            text += kHex[(c >> 4) & 0xF];
            text += kHex[c & 0xF];
        } else {
            escaped = c == '\\';
            inString = c != '"';
            text += c;
        }
    }
    return text;
}

std::string rewriteImageSources(std::string_view content, std::string_view base) {
    constexpr std::string_view kMarker = "img src=\"";
    std::string out;
    out.reserve(content.size());
    size_t start = 0;
    for (size_t pos = content.find(kMarker); pos != std::string_view::npos;
         pos = content.find(kMarker, start)) {
        size_t sourceStart = pos + kMarker.size();
        out.append(content.substr(start, sourceStart - start));
        if (!isAbsoluteSource(content.substr(sourceStart))) {
            out.append(base);
        }
        start = sourceStart;
    }
    out.append(content.substr(start));
    return out;
}

}  // namespace oa
