// The libcrypto functions the client uses, from libcrypto.so.3 loaded with the first use (see
// LazyLibrary) rather than linked: the program's start does not wait for it. Call them as
// crypto().SHA256(...), exactly as the C functions.
#pragma once

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/sha.h>
#include <openssl/x509.h>

namespace oa {

struct CryptoApi {
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

// libcrypto's functions, the library loaded by the first call (any thread).
const CryptoApi& crypto();

}  // namespace oa
