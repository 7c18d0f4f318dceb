// The fixed descriptions of the request errors.
#include "core/transport/RequestError.h"

namespace oa {

RequestError RequestError::make(RequestErrorType type, const std::string& detail) {
    switch (type) {
        case RequestErrorType::ConnectionFailure:
            return {type, "A connection failure occurred"};
        case RequestErrorType::TimedOut:
            return {type, "The request timed out"};
        case RequestErrorType::Cancelled:
            return {type, "The request was cancelled"};
        case RequestErrorType::UnableToCreateRequest:
            return {type, "Unable to create request (bad url?)"};
        case RequestErrorType::TooManyRedirects:
            return {type, "The request failed because it redirected too many times"};
        case RequestErrorType::FileMissing:
            return {type, "No file exists at " + detail};
        case RequestErrorType::DecompressionFailed:
            return {type, "The reply could not be decompressed"};
        case RequestErrorType::ResponseTooLarge:
            return {type, "The reply was larger than the limit of " + detail + " bytes"};
        case RequestErrorType::DownloadFileFailed:
            return {type, "Unable to write the download to " + detail};
        case RequestErrorType::UntrustedCertificate:
            return {type, "The server's certificate is not trusted"};
        case RequestErrorType::CertificateChanged:
            return {type, "The server's certificate has changed since it was trusted"};
        case RequestErrorType::RedirectRefused:
            return {type, "Redirect to another server refused: " + detail};
    }
    return {RequestErrorType::ConnectionFailure, "A connection failure occurred"};
}

}  // namespace oa
