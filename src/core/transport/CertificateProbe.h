// Fetches a server's certificate to show it to the user, by a TLS handshake alone: no HTTP
// request, so no form field (user name, password) leaves before the user trusts the server.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "core/transport/ServerCertificate.h"

namespace oa {

class CertificateProbe {
public:
    // The certificate the https server of `url` presents; none with a reason when there is no
    // handshake (not https, no answer, not TLS).
    static std::optional<ServerCertificate> fetch(
        const std::string& url, std::string* error,
        std::chrono::milliseconds timeout = std::chrono::seconds(10));
};

}  // namespace oa
