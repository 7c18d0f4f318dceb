// Turning reply bytes into UTF-8 text: the charset named by the reply's Content-Type, or the
// request's default.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace oa {

class CharsetDecoder {
public:
    // The "charset" parameter of a Content-Type value, unquoted; absent when there is none.
    static std::optional<std::string> charsetOf(std::string_view contentType);
    // Whether the charset is one this machine can decode.
    static bool isKnown(const std::string& charset);
    // Decodes `bytes` from `charset` to UTF-8. Sequences that are invalid in that charset
    // become U+FFFD each rather than losing the whole reply. An unknown charset decodes as
    // ISO-8859-1.
    static std::string toUtf8(std::string_view bytes, const std::string& charset);
};

}  // namespace oa
