// The servers whose own certificate the user trusts: "host:port" → the Base64 SHA-256 of the
// public key they must present. A request to a pinned host and port is accepted exactly when
// the server's key matches its pin, whoever signed the certificate; every other request is
// verified against the certificate authorities as usual. The pins come from a source the
// application installs (the trust file); without one, nothing is pinned.
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace oa {

class CertificatePins {
public:
    using Source = std::function<std::optional<std::string>(const std::string& hostPort)>;

    static CertificatePins& shared();

    // Replaces the source; an empty one pins nothing.
    void setSource(Source source);
    // The pin of "host:port"; none when it has none.
    std::optional<std::string> pinFor(const std::string& hostPort) const;

    // Certificate authorities to verify unpinned servers with, a PEM file; empty: the system's.
    void setAuthorityFile(std::string path);
    std::string authorityFile() const;

    // Whether a certificate that failed verification may still be accepted for `url`: its
    // server is pinned and the certificate (DER) carries the pinned key. For engines that
    // verify by themselves (the web views).
    bool acceptsPinned(const std::string& url, std::string_view certificateDer) const;

    // "host:port" of an https URL, host lower-cased, port 443 when the URL names none, IPv6
    // addresses in brackets; empty for any other URL.
    static std::string hostPortOf(const std::string& url);

private:
    mutable std::mutex mutex_;
    Source source_;              // Guarded by mutex_.
    std::string authorityFile_;  // Guarded by mutex_.
};

}  // namespace oa
