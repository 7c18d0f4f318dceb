// CryptoApi: libcrypto's functions looked up once.
#include "core/transport/CryptoApi.h"

#include "core/platform/LazyLibrary.h"
#include "core/transport/Base64.h"

namespace oa {

const CryptoApi& crypto() {
    static const CryptoApi api = [] {
        static LazyLibrary library("libcrypto.so.3");
        CryptoApi c;
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

std::string base64Encode(std::string_view bytes) {
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int length = crypto().EVP_EncodeBlock(
        reinterpret_cast<unsigned char*>(out.data()),
        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    out.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return out;
}

}  // namespace oa
