// Content-Length and Content-Encoding of a reply.
#include "core/transport/ReplyFraming.h"

#include <charconv>

namespace oa {

std::string_view trimHeaderValue(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<std::uint64_t> parseContentLength(std::string_view value) {
    std::optional<std::uint64_t> length;
    for (;;) {
        const auto comma = value.find(',');
        const std::string_view item = trimHeaderValue(value.substr(0, comma));
        std::uint64_t number = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), number);
        // from_chars takes no "+" but would take a "-"; digits only.
        if (item.empty() || item.front() == '-' || error != std::errc() ||
            end != item.data() + item.size() || (length && *length != number)) {
            return std::nullopt;
        }
        length = number;
        if (comma == std::string_view::npos) {
            return length;
        }
        value.remove_prefix(comma + 1);
    }
}

BodyCoding bodyCodingOf(const HeaderList& headers) {
    int codings = 0;
    bool deflate = false;
    for (const auto& [name, value] : headers) {
        if (!equalsIgnoringCase(name, "Content-Encoding")) {
            continue;
        }
        std::string_view rest = value;
        while (!rest.empty()) {
            const auto comma = rest.find(',');
            const std::string_view coding = trimHeaderValue(rest.substr(0, comma));
            if (!coding.empty() && !equalsIgnoringCase(coding, "identity")) {
                ++codings;
                deflate = equalsIgnoringCase(coding, "gzip") ||
                          equalsIgnoringCase(coding, "x-gzip") ||
                          equalsIgnoringCase(coding, "deflate");
            }
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        }
    }
    if (codings == 0) {
        return BodyCoding::Identity;
    }
    return codings == 1 && deflate ? BodyCoding::Deflate : BodyCoding::Unknown;
}

}  // namespace oa
