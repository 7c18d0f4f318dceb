// TlsIdentity: the server context and the self-signed files.
#include "server/TlsIdentity.h"

#include <fcntl.h>
#include <openssl/err.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "server/CertificateMaker.h"

namespace oa {

namespace {

std::string lastError(const std::string& what) {
    const unsigned long code = ERR_get_error();
    char text[256] = {};
    if (code != 0) {
        ERR_error_string_n(code, text, sizeof text);
    }
    ERR_clear_error();
    return what + (code ? std::string(": ") + text : std::string());
}

// Writes `bytes` to a new file of `mode`; an existing file is replaced.
bool writeFile(const std::string& path, const std::string& bytes, mode_t mode) {
    const std::string temp = path + ".new";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) {
        return false;
    }
    bool ok = ::fchmod(fd, mode) == 0;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        ok = n > 0;
        done += ok ? static_cast<std::size_t>(n) : 0;
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
    }
    return ok;
}

}  // namespace

SslContextPtr TlsIdentity::load(const std::string& certPath, const std::string& keyPath,
                                std::string* error) {
    SslContextPtr ctx(SSL_CTX_new(TLS_server_method()));
    if (!ctx) {
        *error = lastError("cannot make a TLS context");
        return nullptr;
    }
    SSL_CTX_set_min_proto_version(ctx.get(), TLS1_2_VERSION);
    if (SSL_CTX_use_certificate_chain_file(ctx.get(), certPath.c_str()) != 1) {
        *error = lastError("cannot read the certificate " + certPath);
        return nullptr;
    }
    if (SSL_CTX_use_PrivateKey_file(ctx.get(), keyPath.c_str(), SSL_FILETYPE_PEM) != 1) {
        *error = lastError("cannot read the key " + keyPath);
        return nullptr;
    }
    if (SSL_CTX_check_private_key(ctx.get()) != 1) {
        *error = lastError("the key " + keyPath + " does not belong to " + certPath);
        return nullptr;
    }
    return ctx;
}

std::string TlsIdentity::selfSignedCertPath(const std::string& dbPath) {
    return dbPath + ".tls-cert.pem";
}

std::string TlsIdentity::selfSignedKeyPath(const std::string& dbPath) {
    return dbPath + ".tls-key.pem";
}

bool TlsIdentity::ensureSelfSigned(const std::string& dbPath, const std::string& host,
                                   std::string* error) {
    const std::string certPath = selfSignedCertPath(dbPath);
    const std::string keyPath = selfSignedKeyPath(dbPath);
    std::error_code ec;
    if (std::filesystem::exists(certPath, ec) && std::filesystem::exists(keyPath, ec)) {
        return true;
    }
    CertificateParams params;
    params.commonName = host;
    params.hosts = {host};
    for (const char* also : {"localhost", "127.0.0.1"}) {
        if (host != also) {
            params.hosts.emplace_back(also);
        }
    }
    const auto made = CertificateMaker::make(params, error);
    if (!made) {
        return false;
    }
    const auto dir = std::filesystem::path(dbPath).parent_path();
    if (!dir.empty()) {
        std::filesystem::create_directories(dir, ec);
    }
    if (!writeFile(keyPath, made->key, 0600) || !writeFile(certPath, made->certificate, 0644)) {
        *error = "cannot write " + certPath + " or " + keyPath;
        return false;
    }
    return true;
}

}  // namespace oa
