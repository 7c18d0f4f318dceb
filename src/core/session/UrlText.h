// Normalisation of the server address typed on the sign-in screen: every address gets a scheme.
#pragma once

#include <string>
#include <string_view>

namespace oa {

// `text` unchanged when it begins with "http://" or "https://" in any case; otherwise "http://"
// followed by `text` (so the empty text becomes "http://").
std::string UrlText(std::string_view text);

}  // namespace oa
