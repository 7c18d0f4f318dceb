// ServerCertificate: reading X.509 certificates with OpenSSL's libcrypto (CryptoApi).
#include "core/transport/ServerCertificate.h"

#include <ctime>
#include <memory>

#include "core/transport/Base64.h"
#include "core/transport/CryptoApi.h"

namespace oa {

namespace {

struct Free {
    void operator()(X509* p) const { crypto().X509_free(p); }
    void operator()(BIO* p) const { crypto().BIO_free(p); }
};

std::string nameText(const X509_NAME* name) {
    std::unique_ptr<BIO, Free> bio(crypto().BIO_new(crypto().BIO_s_mem()));
    if (!bio || crypto().X509_NAME_print_ex(bio.get(), name, 0,
                                            XN_FLAG_ONELINE & ~ASN1_STRFLGS_ESC_MSB) < 0) {
        return {};
    }
    char* data = nullptr;
    const long length = crypto().BIO_ctrl(bio.get(), BIO_CTRL_INFO, 0, &data);
    return length > 0 ? std::string(data, static_cast<std::size_t>(length)) : std::string();
}

std::string timeText(const ASN1_TIME* time) {
    std::tm parts{};
    if (!time || crypto().ASN1_TIME_to_tm(time, &parts) != 1) {
        return {};
    }
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
    return text;
}

std::optional<ServerCertificate> describe(X509* cert) {
    if (!cert) {
        return std::nullopt;
    }
    ServerCertificate out;
    unsigned char* spki = nullptr;
    const int length = crypto().i2d_X509_PUBKEY(crypto().X509_get_X509_PUBKEY(cert), &spki);
    if (length <= 0) {
        return std::nullopt;
    }
    unsigned char digest[SHA256_DIGEST_LENGTH];
    crypto().SHA256(spki, static_cast<std::size_t>(length), digest);
    crypto().CRYPTO_free(spki, __FILE__, __LINE__);
    out.spkiSha256.assign(reinterpret_cast<const char*>(digest), sizeof digest);
    out.subject = nameText(crypto().X509_get_subject_name(cert));
    out.issuer = nameText(crypto().X509_get_issuer_name(cert));
    out.notBefore = timeText(crypto().X509_get0_notBefore(cert));
    out.notAfter = timeText(crypto().X509_get0_notAfter(cert));
    return out;
}

}  // namespace

std::string ServerCertificate::pin() const {
    return base64Encode(spkiSha256);
}

std::optional<ServerCertificate> ServerCertificate::fromDer(std::string_view der) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(der.data());
    std::unique_ptr<X509, Free> cert(
        crypto().d2i_X509(nullptr, &bytes, static_cast<long>(der.size())));
    return describe(cert.get());
}

std::optional<ServerCertificate> ServerCertificate::fromPem(std::string_view pem) {
    std::unique_ptr<BIO, Free> bio(
        crypto().BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    std::unique_ptr<X509, Free> cert(
        bio ? crypto().PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr) : nullptr);
    return describe(cert.get());
}

std::string ServerCertificate::fingerprintOf(std::string_view rawSha256) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : rawSha256) {
        const auto byte = static_cast<unsigned char>(c);
        if (!out.empty()) {
            out += ':';
        }
        out += kHex[byte >> 4];
        out += kHex[byte & 0xf];
    }
    return out;
}

std::string ServerCertificate::fingerprintOfPin(std::string_view pin) {
    if (pin.size() != 44) {
        return {};
    }
    unsigned char raw[33] = {};
    const int length = crypto().EVP_DecodeBlock(
        raw, reinterpret_cast<const unsigned char*>(pin.data()), static_cast<int>(pin.size()));
    // 44 Base64 characters with one '=' of padding decode to 33 bytes, the last one padding.
    if (length != 33 || pin.back() != '=') {
        return {};
    }
    return fingerprintOf(std::string_view(reinterpret_cast<const char*>(raw), 32));
}

}  // namespace oa
