// RAII holders for libcurl's URL parser (CURLU), which also resolves a relative reference against
// a URL the way libcurl does when it follows a redirect.
#pragma once

#include <memory>
#include <string>

#include "core/transport/CurlApi.h"

namespace oa {

struct CurlUrlDeleter {
    void operator()(CURLU* url) const { curl().url_cleanup(url); }
};
struct CurlTextDeleter {
    void operator()(char* text) const { curl().free(text); }
};
using CurlUrlPtr = std::unique_ptr<CURLU, CurlUrlDeleter>;
using CurlText = std::unique_ptr<char, CurlTextDeleter>;

// A part of a parsed URL; nullptr when it has none.
inline CurlText urlPart(CURLU* url, CURLUPart which, unsigned int flags = 0) {
    char* text = nullptr;
    if (curl().url_get(url, which, &text, flags) != CURLUE_OK) {
        return nullptr;
    }
    return CurlText(text);
}

}  // namespace oa
