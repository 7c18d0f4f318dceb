// The question put to the user when an https server is refused for its certificate: the
// certificate it presents (fetched by a bare handshake), and for a pinned server the fingerprint
// it was trusted with. Answering "trust" stores the presented key as the server's pin.
#pragma once

#include <optional>
#include <string>

#include "core/transport/RequestError.h"
#include "core/transport/ServerCertificate.h"

namespace oa {

struct TrustQuestion {
    static constexpr char kUntrustedTitle[] = "服务器证书不受信任";
    static constexpr char kChangedTitle[] = "服务器证书已变更";
    static constexpr char kTrustButton[] = "信任此证书";
    static constexpr char kCancelButton[] = "取消";

    bool changed = false;  // a pinned server presented another key
    std::string url;
    std::string hostPort;
    ServerCertificate certificate;    // as presented now
    std::string previousFingerprint;  // of the pin, when changed

    // Whether a request's error is a refused certificate.
    static bool concerns(const std::optional<RequestError>& error);
    // Fetches the certificate of the server of `url` (blocking: call off the main thread); none
    // with a reason when it cannot be had.
    static std::optional<TrustQuestion> ask(const RequestError& error, const std::string& url,
                                            std::string* why);

    std::string title() const { return changed ? kChangedTitle : kUntrustedTitle; }
    // The subject, the validity dates and the fingerprint(s), one per line.
    std::string message() const;
    // Stores the presented key as the pin of hostPort; false when the file could not be
    // written.
    bool trust() const;
};

}  // namespace oa
