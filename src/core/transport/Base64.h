// Base64 by libcrypto (CryptoApi), for callers that need no other part of it.
#pragma once

#include <string>
#include <string_view>

namespace oa {

// Standard Base64 of `bytes`, with padding.
std::string base64Encode(std::string_view bytes);

}  // namespace oa
