// The headers of an HTTP reply, in the order they arrived, and case-blind lookup in them.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace oa {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

// Header names are ASCII; folding by hand avoids the locale lookups of std::tolower.
inline char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

// The last header of that name, or nullptr.
inline const std::string* findHeader(const HeaderList& headers, std::string_view name) {
    for (auto it = headers.rbegin(); it != headers.rend(); ++it) {
        if (equalsIgnoringCase(it->first, name)) {
            return &it->second;
        }
    }
    return nullptr;
}

}  // namespace oa
