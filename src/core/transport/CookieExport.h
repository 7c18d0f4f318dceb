// Cookie export: the transport's shared cookie store as plain records, so that another HTTP
// client of the process (the web pages the client shows) can carry the same session.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oa {

struct SessionCookie {
    std::string domain;              // host name, without a leading "."
    bool includeSubdomains = false;  // false: sent to exactly `domain`
    std::string path = "/";
    bool secure = false;
    bool httpOnly = false;
    std::int64_t expires = 0;  // seconds since 1970; 0 ends with the session
    std::string name;
    std::string value;

    bool operator==(const SessionCookie&) const = default;
};

// One line of libcurl's cookie list (the tab-separated cookie-file form, "#HttpOnly_" marking
// HTTP-only cookies); nullopt for a line that is not a cookie.
std::optional<SessionCookie> parseCookieLine(std::string_view line);

// Every cookie of the shared store now, in the store's order. Any thread.
std::vector<SessionCookie> exportSessionCookies();

}  // namespace oa
