// Address normalisation of the sign-in screen.
#include "core/session/UrlText.h"

#include <algorithm>
#include <cctype>

namespace oa {
namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

}  // namespace

std::string UrlText(std::string_view text) {
    if (startsWithIgnoringCase(text, "http://") || startsWithIgnoringCase(text, "https://")) {
        return std::string(text);
    }
    return "http://" + std::string(text);
}

}  // namespace oa
