// What the client shows of a server's certificate before the user trusts it, and the pin it
// keeps afterwards: the SHA-256 of the certificate's public key (SubjectPublicKeyInfo), which
// stays the same when the server renews its certificate with the same key.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace oa {

struct ServerCertificate {
    std::string subject;    // one line, "CN=..., O=..."
    std::string issuer;     // the same form
    std::string notBefore;  // "YYYY-MM-DD HH:MM:SS UTC"
    std::string notAfter;
    std::string spkiSha256;  // 32 raw bytes

    // "AB:CD:..." of spkiSha256, upper-case hex.
    std::string fingerprint() const { return fingerprintOf(spkiSha256); }
    // spkiSha256 in Base64, the form a pin is stored and handed to libcurl in.
    std::string pin() const;

    // The certificate in DER or PEM; none when it does not parse.
    static std::optional<ServerCertificate> fromDer(std::string_view der);
    static std::optional<ServerCertificate> fromPem(std::string_view pem);

    static std::string fingerprintOf(std::string_view rawSha256);
    // The fingerprint of a Base64 pin; "" when it is not one.
    static std::string fingerprintOfPin(std::string_view pin);
};

}  // namespace oa
