// isSendableUrl on libcurl's URL parser, the same one that reads the URL when it is sent.
#include "core/transport/SendableUrl.h"

#include <string_view>

#include "core/transport/CurlUrl.h"
#include "core/transport/HeaderList.h"

namespace oa {

bool isSendableUrl(const std::string& url) {
    CurlUrlPtr parsed(curl().url());
    if (!parsed || curl().url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
        return false;
    }
    const CurlText scheme = urlPart(parsed.get(), CURLUPART_SCHEME);
    const CurlText host = urlPart(parsed.get(), CURLUPART_HOST);
    if (!scheme || !host || *host.get() == '\0' ||
        !(equalsIgnoringCase(scheme.get(), "http") || equalsIgnoringCase(scheme.get(), "https"))) {
        return false;
    }
    // libcurl takes one to three slashes after the scheme and, when the authority between them
    // is empty, reads the first path segment as the host: "http:///mobile/login.php" goes to
    // host "mobile". The host it found must therefore stand where the URL itself puts one,
    // straight after "scheme://".
    const std::string_view written(url);
    const std::size_t authority = std::string_view(scheme.get()).size() + 3;
    return written.size() > authority && written.substr(authority - 3, 3) == "://" &&
           written[authority] != '/' && written[authority] != '\\';
}

}  // namespace oa
