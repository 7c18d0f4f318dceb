// Strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF), for the places that
// check or clean text from outside: replies, datagrams, uploaded names.
#pragma once

#include <cstddef>
#include <string_view>

namespace oa {

// The length (1 to 4) of the valid UTF-8 sequence at the start of `text`; 0 when `text` is empty
// or does not start with one.
std::size_t utf8SequenceLength(std::string_view text);

// Whether the whole of `text` is valid UTF-8.
bool isValidUtf8(std::string_view text);

}  // namespace oa
