// The demo server's TLS side: the certificate and key it presents, read from PEM files, or made
// self-signed on first start and kept beside the database for every later start.
#pragma once

#include <openssl/ssl.h>

#include <memory>
#include <string>

namespace oa {

struct SslContextDeleter {
    void operator()(SSL_CTX* ctx) const { SSL_CTX_free(ctx); }
};
using SslContextPtr = std::unique_ptr<SSL_CTX, SslContextDeleter>;

class TlsIdentity {
public:
    // A server context presenting the certificate (chain) and key in these PEM files; null with
    // a reason when they cannot be read or do not belong together.
    static SslContextPtr load(const std::string& certPath, const std::string& keyPath,
                              std::string* error);

    // Where the self-signed certificate and key of the database at `dbPath` are kept.
    static std::string selfSignedCertPath(const std::string& dbPath);
    static std::string selfSignedKeyPath(const std::string& dbPath);
    // Makes a self-signed certificate for `host` (plus localhost and 127.0.0.1) and its key at
    // those paths unless both are there already, so that a client's trust survives restarts.
    // The key file is mode 0600. False with a reason on failure.
    static bool ensureSelfSigned(const std::string& dbPath, const std::string& host,
                                 std::string* error);
};

}  // namespace oa
