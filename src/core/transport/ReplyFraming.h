// Reading the headers that say how a reply's body is framed and coded: its Content-Length and
// its Content-Encoding, both strictly, since a body read by a wrong guess reaches the caller
// as if it were whole.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/transport/HeaderList.h"

namespace oa {

// A header value without the blanks and line end around it.
std::string_view trimHeaderValue(std::string_view text);

// The length a Content-Length value gives: decimal digits, or a list of the same length
// repeated ("3, 3"). Nothing for anything else (signs, junk, an empty value, too many digits).
std::optional<std::uint64_t> parseContentLength(std::string_view value);

enum class BodyCoding {
    Identity,  // no Content-Encoding, or only "identity"
    Deflate,   // gzip, x-gzip or deflate: inflated with zlib
    Unknown,   // anything else, or more than one coding: the transport cannot decode it
};

// The coding of a reply body from all of its Content-Encoding headers.
BodyCoding bodyCodingOf(const HeaderList& headers);

}  // namespace oa
