// ServerCertificate: reading X.509 certificates with OpenSSL's libcrypto, loaded with the first
// certificate read (see LazyLibrary) rather than linked.
#include "core/transport/ServerCertificate.h"

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/sha.h>
#include <openssl/x509.h>

#include <ctime>
#include <memory>

#include "core/platform/LazyLibrary.h"

namespace oa {

namespace {

struct Crypto {
    decltype(&::ASN1_TIME_to_tm) ASN1_TIME_to_tm = nullptr;
    decltype(&::BIO_ctrl) BIO_ctrl = nullptr;
    decltype(&::BIO_free) BIO_free = nullptr;
    decltype(&::BIO_new) BIO_new = nullptr;
    decltype(&::BIO_new_mem_buf) BIO_new_mem_buf = nullptr;
    decltype(&::BIO_s_mem) BIO_s_mem = nullptr;
    decltype(&::CRYPTO_free) CRYPTO_free = nullptr;
    decltype(&::EVP_DecodeBlock) EVP_DecodeBlock = nullptr;
    decltype(&::EVP_EncodeBlock) EVP_EncodeBlock = nullptr;
    decltype(&::PEM_read_bio_X509) PEM_read_bio_X509 = nullptr;
    decltype(&::SHA256) SHA256 = nullptr;
    decltype(&::X509_NAME_print_ex) X509_NAME_print_ex = nullptr;
    decltype(&::X509_free) X509_free = nullptr;
    decltype(&::X509_get0_notAfter) X509_get0_notAfter = nullptr;
    decltype(&::X509_get0_notBefore) X509_get0_notBefore = nullptr;
    decltype(&::X509_get_X509_PUBKEY) X509_get_X509_PUBKEY = nullptr;
    decltype(&::X509_get_issuer_name) X509_get_issuer_name = nullptr;
    decltype(&::X509_get_subject_name) X509_get_subject_name = nullptr;
    decltype(&::d2i_X509) d2i_X509 = nullptr;
    decltype(&::i2d_X509_PUBKEY) i2d_X509_PUBKEY = nullptr;
};

const Crypto& crypto() {
    static const Crypto api = [] {
        static LazyLibrary library("libcrypto.so.3");
        Crypto c;
        library.resolve("ASN1_TIME_to_tm", c.ASN1_TIME_to_tm);
        library.resolve("BIO_ctrl", c.BIO_ctrl);
        library.resolve("BIO_free", c.BIO_free);
        library.resolve("BIO_new", c.BIO_new);
        library.resolve("BIO_new_mem_buf", c.BIO_new_mem_buf);
        library.resolve("BIO_s_mem", c.BIO_s_mem);
        library.resolve("CRYPTO_free", c.CRYPTO_free);
        library.resolve("EVP_DecodeBlock", c.EVP_DecodeBlock);
        library.resolve("EVP_EncodeBlock", c.EVP_EncodeBlock);
        library.resolve("PEM_read_bio_X509", c.PEM_read_bio_X509);
        library.resolve("SHA256", c.SHA256);
        library.resolve("X509_NAME_print_ex", c.X509_NAME_print_ex);
        library.resolve("X509_free", c.X509_free);
        library.resolve("X509_get0_notAfter", c.X509_get0_notAfter);
        library.resolve("X509_get0_notBefore", c.X509_get0_notBefore);
        library.resolve("X509_get_X509_PUBKEY", c.X509_get_X509_PUBKEY);
        library.resolve("X509_get_issuer_name", c.X509_get_issuer_name);
        library.resolve("X509_get_subject_name", c.X509_get_subject_name);
        library.resolve("d2i_X509", c.d2i_X509);
        library.resolve("i2d_X509_PUBKEY", c.i2d_X509_PUBKEY);
        return c;
    }();
    return api;
}

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
    std::string out(4 * ((spkiSha256.size() + 2) / 3) + 1, '\0');
    const int length =
        crypto().EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                 reinterpret_cast<const unsigned char*>(spkiSha256.data()),
                                 static_cast<int>(spkiSha256.size()));
    out.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return out;
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
