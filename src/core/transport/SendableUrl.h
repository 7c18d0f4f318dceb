// Whether a request may be sent to a URL at all: an absolute http or https URL that names its
// host. Anything else fails the request before a byte goes out.
#pragma once

#include <string>

namespace oa {

bool isSendableUrl(const std::string& url);

}  // namespace oa
