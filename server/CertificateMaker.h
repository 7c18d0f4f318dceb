// Makes TLS keys and X.509 certificates with OpenSSL: the demo server's self-signed identity, and
// the certificates and certificate authorities the tests sign their servers with.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace oa {

// A certificate and its private key, both PEM.
struct PemIdentity {
    std::string certificate;
    std::string key;
};

struct CertificateParams {
    std::string commonName = "127.0.0.1";
    // Host names and IP addresses the certificate is good for (subjectAltName).
    std::vector<std::string> hosts{"127.0.0.1", "localhost"};
    // Validity counted from now; a negative start dates it back.
    long validFromDays = 0;
    long validDays = 3650;
    // A certificate authority may sign others; a server certificate may not.
    bool authority = false;
    // Signed by this authority; null: self-signed.
    const PemIdentity* issuer = nullptr;
};

class CertificateMaker {
public:
    // A new P-256 key and a certificate for it; none with a reason on failure.
    static std::optional<PemIdentity> make(const CertificateParams& params, std::string* error);
};

}  // namespace oa
