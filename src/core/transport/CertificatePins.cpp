// CertificatePins: the process-wide pin lookup.
#include "core/transport/CertificatePins.h"

#include <algorithm>

#include "core/transport/HeaderList.h"
#include "core/transport/ServerCertificate.h"

namespace oa {

CertificatePins& CertificatePins::shared() {
    static CertificatePins* pins = new CertificatePins;  // requests may outlive main()
    return *pins;
}

void CertificatePins::setSource(Source source) {
    std::lock_guard lock(mutex_);
    source_ = std::move(source);
}

std::optional<std::string> CertificatePins::pinFor(const std::string& hostPort) const {
    Source source;
    {
        std::lock_guard lock(mutex_);
        source = source_;
    }
    if (!source || hostPort.empty()) {
        return std::nullopt;
    }
    return source(hostPort);
}

void CertificatePins::setAuthorityFile(std::string path) {
    std::lock_guard lock(mutex_);
    authorityFile_ = std::move(path);
}

std::string CertificatePins::authorityFile() const {
    std::lock_guard lock(mutex_);
    return authorityFile_;
}

bool CertificatePins::acceptsPinned(const std::string& url, std::string_view certificateDer) const {
    const auto pin = pinFor(hostPortOf(url));
    if (!pin) {
        return false;
    }
    const auto certificate = ServerCertificate::fromDer(certificateDer);
    return certificate && certificate->pin() == *pin;
}

std::string CertificatePins::hostPortOf(const std::string& url) {
    constexpr std::string_view kScheme = "https://";
    if (url.size() < kScheme.size() ||
        !equalsIgnoringCase(std::string_view(url).substr(0, kScheme.size()), kScheme)) {
        return {};
    }
    std::string authority = url.substr(kScheme.size());
    authority = authority.substr(0, authority.find_first_of("/?#"));
    const auto at = authority.rfind('@');
    if (at != std::string::npos) {
        authority = authority.substr(at + 1);
    }
    std::transform(authority.begin(), authority.end(), authority.begin(), asciiLower);
    std::string host = authority;
    std::string port = "443";
    const auto bracket = authority.rfind(']');
    const auto colon = authority.rfind(':');
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
        if (port.empty()) {
            port = "443";
        }
    }
    if (host.empty() || port.find_first_not_of("0123456789") != std::string::npos) {
        return {};
    }
    return host + ":" + port;
}

}  // namespace oa
