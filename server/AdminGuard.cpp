// The demo interface's guard.
#include "server/AdminGuard.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include "server/HttpSupport.h"

namespace oa {

namespace {

// "localhost", an IPv4 address of 127.0.0.0/8 or [::1], with or without a port.
bool isLoopbackHost(const std::string& host) {
    std::string name = host;
    if (!name.empty() && name.front() == '[') {
        const auto close = name.find(']');
        if (close == std::string::npos) {
            return false;
        }
        name = name.substr(1, close - 1);
        in6_addr address{};
        return ::inet_pton(AF_INET6, name.c_str(), &address) == 1 && IN6_IS_ADDR_LOOPBACK(&address);
    }
    name = name.substr(0, name.find(':'));
    if (name == "localhost") {
        return true;
    }
    in_addr address{};
    return ::inet_pton(AF_INET, name.c_str(), &address) == 1 &&
           (ntohl(address.s_addr) >> 24) == 127;
}

}  // namespace

bool AdminGuard::admit(const httplib::Request& req, httplib::Response& res, bool tls) {
    if (!HttpSupport::fromLoopback(req)) {
        HttpSupport::error(res, 403, "the admin interface answers loopback only");
        return false;
    }
    const std::string host = HttpSupport::lowerAscii(req.get_header_value("Host"));
    if (!isLoopbackHost(host)) {
        HttpSupport::error(res, 403,
                           "the admin interface answers requests to a loopback host only");
        return false;
    }
    const std::string own = (tls ? "https://" : "http://") + host;
    if (req.has_header("Origin") &&
        HttpSupport::lowerAscii(req.get_header_value("Origin")) != own) {
        HttpSupport::error(res, 403, "the admin interface answers no other origin");
        return false;
    }
    if (req.has_header("Referer")) {
        const std::string referer = HttpSupport::lowerAscii(req.get_header_value("Referer"));
        if (referer != own && referer.rfind(own + "/", 0) != 0) {
            HttpSupport::error(res, 403, "the admin interface answers no other origin");
            return false;
        }
    }
    if (req.get_header_value(kHeader) != "1") {
        HttpSupport::error(res, 403,
                           std::string("the admin interface needs the header ") + kHeader + ": 1");
        return false;
    }
    return true;
}

}  // namespace oa
