// CertificateProbe: a connect-only libcurl handle, its TLS session read with OpenSSL.
#include "core/transport/CertificateProbe.h"

#include "core/transport/CurlApi.h"

#include <string_view>

#include "core/transport/CertificatePins.h"
#include "core/transport/CurlPool.h"

namespace oa {

std::optional<ServerCertificate> CertificateProbe::fetch(const std::string& url, std::string* error,
                                                         std::chrono::milliseconds timeout) {
    auto fail = [&](const std::string& why) -> std::optional<ServerCertificate> {
        if (error) {
            *error = why;
        }
        return std::nullopt;
    };
    if (CertificatePins::hostPortOf(url).empty()) {
        return fail("not an https address: " + url);
    }
    CurlPool::shared();  // curl_global_init
    CurlEasyPtr easy(curl().easy_init());
    if (!easy) {
        return fail("cannot make a libcurl handle");
    }
    char errorBuffer[CURL_ERROR_SIZE] = {};
    CURL* e = easy.get();
    curl().easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl().easy_setopt(e, CURLOPT_URL, url.c_str());
    curl().easy_setopt(e, CURLOPT_PROTOCOLS_STR, "https");
    // The handshake only: libcurl stops once the connection is up, before any request. Not on
    // the shared handle, so that this unverified session is never resumed by a real request.
    curl().easy_setopt(e, CURLOPT_CONNECT_ONLY, 1L);
    curl().easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 0L);
    curl().easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 0L);
    curl().easy_setopt(e, CURLOPT_SSL_SESSIONID_CACHE, 0L);
    curl().easy_setopt(e, CURLOPT_CERTINFO, 1L);
    curl().easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(timeout.count()));
    curl().easy_setopt(e, CURLOPT_ERRORBUFFER, errorBuffer);
    const CURLcode code = curl().easy_perform(e);
    if (code != CURLE_OK) {
        return fail(errorBuffer[0] ? errorBuffer : curl().easy_strerror(code));
    }
    curl_certinfo* chain = nullptr;
    if (curl().easy_getinfo(e, CURLINFO_CERTINFO, &chain) != CURLE_OK || !chain ||
        chain->num_of_certs < 1) {
        return fail("the server presented no certificate");
    }
    // The server's own certificate comes first; libcurl hands it over as PEM under "Cert:".
    constexpr std::string_view kPem = "Cert:";
    for (const curl_slist* item = chain->certinfo[0]; item; item = item->next) {
        const std::string_view line(item->data);
        if (line.substr(0, kPem.size()) == kPem) {
            if (auto described = ServerCertificate::fromPem(line.substr(kPem.size()))) {
                return described;
            }
        }
    }
    return fail("unreadable certificate");
}

}  // namespace oa
