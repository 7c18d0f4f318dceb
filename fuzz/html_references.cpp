// Fuzz target: any bytes as a message text with HTML references. Decoding never lengthens the
// text, leaves a text without "&" as it is, and turns valid UTF-8 into valid UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzFiles.h"
#include "core/protocol/HtmlReferences.h"

namespace {

bool isUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            length = 1;
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using oa::fuzz::require;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string decoded = oa::decodeHtmlReferences(text);
    require(decoded.size() <= text.size());
    if (text.find('&') == std::string_view::npos) {
        require(decoded == text);
    }
    if (isUtf8(text)) {
        require(isUtf8(decoded));
    }
    return 0;
}
