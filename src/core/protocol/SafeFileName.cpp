// SafeFileName: folder parts, character checks on the UTF-8 sequences and the cut to length.
#include "core/protocol/SafeFileName.h"

#include <cstdint>

namespace oa {

namespace {

// The length of the well-formed UTF-8 sequence at the start of `text` and its code point; 0 when
// the bytes there are no such sequence (a stray continuation byte, an overlong form, a surrogate,
// a sequence cut short).
std::size_t sequenceAt(std::string_view text, char32_t* codePoint) {
    const auto lead = static_cast<std::uint8_t>(text[0]);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        least = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(text[i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        value = value << 6 | (next & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    *codePoint = value;
    return length;
}

bool refused(char32_t c) {
    constexpr std::u32string_view kReserved = U":*?\"<>|";
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || kReserved.find(c) != std::u32string_view::npos;
}

// The first `bytes` bytes of valid UTF-8 text, less a character that would be split.
std::string_view cutAt(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) {
        return text;
    }
    while (bytes > 0 && (static_cast<std::uint8_t>(text[bytes]) & 0xC0) == 0x80) {
        --bytes;
    }
    return text.substr(0, bytes);
}

std::string_view trimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string SafeFileName::of(std::string_view name) {
    if (const std::size_t slash = name.find_last_of("/\\"); slash != std::string_view::npos) {
        name.remove_prefix(slash + 1);
    }
    std::string clean;
    while (!name.empty()) {
        char32_t c = 0;
        const std::size_t length = sequenceAt(name, &c);
        if (length == 0 || refused(c)) {
            clean += '_';
            name.remove_prefix(length == 0 ? 1 : length);
        } else {
            clean.append(name.substr(0, length));
            name.remove_prefix(length);
        }
    }
    std::string_view whole = trimSpaces(clean);
    if (whole == "." || whole == "..") {
        return {};
    }
    if (whole.size() <= kMaxBytes) {
        return std::string(whole);
    }
    std::string_view extension;
    if (const std::size_t dot = whole.rfind('.');
        dot != std::string_view::npos && dot > 0 && whole.size() - dot <= kMaxExtensionBytes) {
        extension = whole.substr(dot);
    }
    const std::string_view stem = trimSpaces(
        cutAt(whole.substr(0, whole.size() - extension.size()), kMaxBytes - extension.size()));
    return std::string(stem) + std::string(extension);
}

}  // namespace oa
