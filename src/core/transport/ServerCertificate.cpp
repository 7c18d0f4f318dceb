// ServerCertificate: reading X.509 certificates with OpenSSL.
#include "core/transport/ServerCertificate.h"

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/sha.h>
#include <openssl/x509.h>

#include <ctime>
#include <memory>

namespace oa {

namespace {

struct Free {
    void operator()(X509* p) const { X509_free(p); }
    void operator()(BIO* p) const { BIO_free(p); }
};

std::string nameText(const X509_NAME* name) {
    std::unique_ptr<BIO, Free> bio(BIO_new(BIO_s_mem()));
    if (!bio ||
        X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_ONELINE & ~ASN1_STRFLGS_ESC_MSB) < 0) {
        return {};
    }
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &data);
    return length > 0 ? std::string(data, static_cast<std::size_t>(length)) : std::string();
}

std::string timeText(const ASN1_TIME* time) {
    std::tm parts{};
    if (!time || ASN1_TIME_to_tm(time, &parts) != 1) {
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
    const int length = i2d_X509_PUBKEY(X509_get_X509_PUBKEY(cert), &spki);
    if (length <= 0) {
        return std::nullopt;
    }
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(spki, static_cast<std::size_t>(length), digest);
    OPENSSL_free(spki);
    out.spkiSha256.assign(reinterpret_cast<const char*>(digest), sizeof digest);
    out.subject = nameText(X509_get_subject_name(cert));
    out.issuer = nameText(X509_get_issuer_name(cert));
    out.notBefore = timeText(X509_get0_notBefore(cert));
    out.notAfter = timeText(X509_get0_notAfter(cert));
    return out;
}

}  // namespace

std::string ServerCertificate::pin() const {
    std::string out(4 * ((spkiSha256.size() + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                       reinterpret_cast<const unsigned char*>(spkiSha256.data()),
                                       static_cast<int>(spkiSha256.size()));
    out.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return out;
}

std::optional<ServerCertificate> ServerCertificate::fromDer(std::string_view der) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(der.data());
    std::unique_ptr<X509, Free> cert(d2i_X509(nullptr, &bytes, static_cast<long>(der.size())));
    return describe(cert.get());
}

std::optional<ServerCertificate> ServerCertificate::fromPem(std::string_view pem) {
    std::unique_ptr<BIO, Free> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    std::unique_ptr<X509, Free> cert(bio ? PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr)
                                         : nullptr);
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
    const int length = EVP_DecodeBlock(raw, reinterpret_cast<const unsigned char*>(pin.data()),
                                       static_cast<int>(pin.size()));
    // 44 Base64 characters with one '=' of padding decode to 33 bytes, the last one padding.
    if (length != 33 || pin.back() != '=') {
        return {};
    }
    return fingerprintOf(std::string_view(reinterpret_cast<const char*>(raw), 32));
}

}  // namespace oa
