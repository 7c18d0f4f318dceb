// CookieExport: reading the shared store's cookie list.
#include "core/transport/CookieExport.h"

#include <charconv>

#include "core/transport/CurlPool.h"

namespace oa {

namespace {
constexpr std::string_view kHttpOnlyPrefix = "#HttpOnly_";
constexpr std::size_t kFields = 7;
}  // namespace

std::optional<SessionCookie> parseCookieLine(std::string_view line) {
    SessionCookie cookie;
    if (line.starts_with(kHttpOnlyPrefix)) {
        cookie.httpOnly = true;
        line.remove_prefix(kHttpOnlyPrefix.size());
    } else if (line.starts_with('#')) {
        return std::nullopt;
    }
    std::vector<std::string_view> fields;
    // The value is the last field and may itself hold tabs.
    while (fields.size() + 1 < kFields) {
        const auto tab = line.find('\t');
        if (tab == std::string_view::npos) {
            return std::nullopt;
        }
        fields.push_back(line.substr(0, tab));
        line.remove_prefix(tab + 1);
    }
    fields.push_back(line);

    std::string_view domain = fields[0];
    cookie.includeSubdomains = fields[1] == "TRUE";
    if (domain.starts_with('.')) {
        domain.remove_prefix(1);
        cookie.includeSubdomains = true;
    }
    if (domain.empty() || fields[5].empty()) {
        return std::nullopt;
    }
    cookie.domain = std::string(domain);
    cookie.path = fields[2].empty() ? "/" : std::string(fields[2]);
    cookie.secure = fields[3] == "TRUE";
    const std::string_view expires = fields[4];
    const auto [end, error] =
        std::from_chars(expires.data(), expires.data() + expires.size(), cookie.expires);
    if (error != std::errc() || end != expires.data() + expires.size() || cookie.expires < 0) {
        return std::nullopt;
    }
    cookie.name = std::string(fields[5]);
    cookie.value = std::string(fields[6]);
    return cookie;
}

std::vector<SessionCookie> exportSessionCookies() {
    std::vector<SessionCookie> cookies;
    for (const std::string& line : CurlPool::shared().cookieLines()) {
        if (auto cookie = parseCookieLine(line)) {
            cookies.push_back(std::move(*cookie));
        }
    }
    return cookies;
}

}  // namespace oa
