// Fuzz target: any bytes as a Content-Length or Content-Encoding value of a reply, and as a
// request URL. Nothing may crash, a length is only read from digits (and the commas and blanks
// of a list), and a URL is only sendable when it starts with http:// or https:// and a host.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/transport/ReplyFraming.h"
#include "core/transport/SendableUrl.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool lowerStartsWith(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (oa::asciiLower(text[i]) != prefix[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    if (oa::parseContentLength(input)) {
        require(input.find_first_not_of("0123456789, \t\r\n") == std::string::npos);
    }

    // Identity only for nothing but "identity" and separators; inflating only when zlib can.
    std::string lower;
    for (const char c : input) {
        lower += oa::asciiLower(c);
    }
    const oa::BodyCoding coding = oa::bodyCodingOf({{"Content-Encoding", input}});
    if (coding == oa::BodyCoding::Identity) {
        std::string rest = lower;
        for (std::size_t at; (at = rest.find("identity")) != std::string::npos;) {
            rest.erase(at, 8);
        }
        require(rest.find_first_not_of(", \t\r\n") == std::string::npos);
    } else if (coding == oa::BodyCoding::Deflate) {
        require(lower.find("gzip") != std::string::npos ||
                lower.find("deflate") != std::string::npos);
    }

    if (oa::isSendableUrl(input)) {
        require(lowerStartsWith(input, "http://") || lowerStartsWith(input, "https://"));
        const std::size_t authority = input.find("://") + 3;
        require(authority < input.size() && input[authority] != '/');
    }
    return 0;
}
