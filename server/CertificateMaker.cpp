// CertificateMaker: key generation and X.509 signing with the OpenSSL 3 API.
#include "server/CertificateMaker.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace oa {

namespace {

struct Free {
    void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
    void operator()(X509* p) const { X509_free(p); }
    void operator()(BIO* p) const { BIO_free(p); }
    void operator()(X509_EXTENSION* p) const { X509_EXTENSION_free(p); }
    void operator()(BIGNUM* p) const { BN_free(p); }
};
template <typename T>
using Owned = std::unique_ptr<T, Free>;

std::string openSslError(const std::string& what) {
    const unsigned long code = ERR_get_error();
    char text[256] = {};
    if (code != 0) {
        ERR_error_string_n(code, text, sizeof text);
    }
    ERR_clear_error();
    return what + (code ? std::string(": ") + text : std::string());
}

bool isAddress(const std::string& host) {
    return host.find_first_not_of("0123456789.") == std::string::npos ||
           host.find(':') != std::string::npos;
}

bool addExtension(X509* cert, X509* issuer, int nid, const std::string& value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    Owned<X509_EXTENSION> ext(X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str()));
    return ext && X509_add_ext(cert, ext.get(), -1) == 1;
}

std::string toPem(int (*write)(BIO*, void*), void* object) {
    Owned<BIO> bio(BIO_new(BIO_s_mem()));
    if (!bio || !write(bio.get(), object)) {
        return {};
    }
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &data);
    return length > 0 ? std::string(data, static_cast<std::size_t>(length)) : std::string();
}

int writeCertificate(BIO* bio, void* cert) {
    return PEM_write_bio_X509(bio, static_cast<X509*>(cert));
}

int writeKey(BIO* bio, void* key) {
    return PEM_write_bio_PrivateKey(bio, static_cast<EVP_PKEY*>(key), nullptr, nullptr, 0, nullptr,
                                    nullptr);
}

Owned<BIO> readOnly(const std::string& pem) {
    return Owned<BIO>(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
}

}  // namespace

std::optional<PemIdentity> CertificateMaker::make(const CertificateParams& params,
                                                  std::string* error) {
    auto fail = [&](const std::string& what) -> std::optional<PemIdentity> {
        if (error) {
            *error = openSslError(what);
        }
        return std::nullopt;
    };
    Owned<EVP_PKEY> key(EVP_EC_gen("P-256"));
    if (!key) {
        return fail("cannot make a key");
    }
    Owned<X509> issuerCert;
    Owned<EVP_PKEY> issuerKey;
    if (params.issuer) {
        auto certBio = readOnly(params.issuer->certificate);
        auto keyBio = readOnly(params.issuer->key);
        issuerCert.reset(PEM_read_bio_X509(certBio.get(), nullptr, nullptr, nullptr));
        issuerKey.reset(PEM_read_bio_PrivateKey(keyBio.get(), nullptr, nullptr, nullptr));
        if (!issuerCert || !issuerKey) {
            return fail("unreadable issuer");
        }
    }
    Owned<X509> cert(X509_new());
    if (!cert) {
        return fail("cannot make a certificate");
    }
    X509* c = cert.get();
    X509_set_version(c, 2);
    // A random 63-bit serial: a browser refuses two certificates of one issuer with one serial.
    unsigned char serialBytes[8] = {};
    RAND_bytes(serialBytes, sizeof serialBytes);
    serialBytes[0] &= 0x7f;
    Owned<BIGNUM> serial(BN_bin2bn(serialBytes, sizeof serialBytes, nullptr));
    BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(c));
    X509_gmtime_adj(X509_getm_notBefore(c), params.validFromDays * 86400L);
    X509_gmtime_adj(X509_getm_notAfter(c), (params.validFromDays + params.validDays) * 86400L);
    X509_set_pubkey(c, key.get());
    X509_NAME* name = X509_get_subject_name(c);
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>("OA Demo"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>(params.commonName.c_str()),
                               -1, -1, 0);
    X509* issuer = issuerCert ? issuerCert.get() : c;
    X509_set_issuer_name(c, X509_get_subject_name(issuer));

    bool ok = addExtension(c, issuer, NID_subject_key_identifier, "hash") &&
              addExtension(c, issuer, NID_authority_key_identifier, "keyid:always");
    if (params.authority) {
        ok = ok && addExtension(c, issuer, NID_basic_constraints, "critical,CA:TRUE") &&
             addExtension(c, issuer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        std::string names;
        for (const std::string& host : params.hosts) {
            names +=
                (names.empty() ? "" : ",") + std::string(isAddress(host) ? "IP:" : "DNS:") + host;
        }
        ok = ok && addExtension(c, issuer, NID_basic_constraints, "critical,CA:FALSE") &&
             addExtension(c, issuer, NID_key_usage, "critical,digitalSignature,keyEncipherment") &&
             addExtension(c, issuer, NID_ext_key_usage, "serverAuth") &&
             (names.empty() || addExtension(c, issuer, NID_subject_alt_name, names));
    }
    if (!ok) {
        return fail("cannot add the certificate's extensions");
    }
    if (X509_sign(c, issuerKey ? issuerKey.get() : key.get(), EVP_sha256()) <= 0) {
        return fail("cannot sign the certificate");
    }
    PemIdentity identity{toPem(&writeCertificate, c), toPem(&writeKey, key.get())};
    if (identity.certificate.empty() || identity.key.empty()) {
        return fail("cannot write PEM");
    }
    return identity;
}

}  // namespace oa
