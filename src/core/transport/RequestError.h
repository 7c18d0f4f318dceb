// The error a failed HTTP request carries: one domain, a kind, and the description callers log.
#pragma once

#include <string>

namespace oa {

enum class RequestErrorType {
    ConnectionFailure,      // "A connection failure occurred"
    TimedOut,               // "The request timed out"
    Cancelled,              // "The request was cancelled"
    UnableToCreateRequest,  // "Unable to create request (bad url?)"
    TooManyRedirects,       // "The request failed because it redirected too many times"
    FileMissing,            // "No file exists at <path>"
    DecompressionFailed,    // a compressed reply that is corrupt
    ResponseTooLarge,       // "The reply was larger than the limit of <limit> bytes"
    DownloadFileFailed,     // "Unable to write the download to <path>"
    // An https server whose certificate does not verify and that has no pin here.
    UntrustedCertificate,  // "The server's certificate is not trusted"
    // A pinned server that presents a key other than its pin.
    CertificateChanged,  // "The server's certificate has changed since it was trusted"
    // A redirect to another scheme, host or port, which is not followed.
    RedirectRefused,  // "Redirect to another server refused: <url>"
};

struct RequestError {
    static constexpr const char* kDomain = "ASIHTTPRequestErrorDomain";

    RequestErrorType type = RequestErrorType::ConnectionFailure;
    std::string description;

    std::string domain() const { return kDomain; }

    // The error of a kind with its fixed description; `detail` fills in the missing file's path,
    // the size limit, the download's file or the refused redirect's address.
    static RequestError make(RequestErrorType type, const std::string& detail = {});
};

}  // namespace oa
