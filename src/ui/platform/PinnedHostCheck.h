// Web views keep the transport's rule for a pinned server: its pinned key and no other, whoever
// signed the certificate. The engine shows a certificate only when it fails to verify, so one that
// a certificate authority vouches for would pass unseen: a pinned server is first checked by a
// bare handshake (CertificateProbe), and the view loads from it only once it presented its pin.
// State on the main thread; the handshake on a thread of its own.
#pragma once

#include <functional>
#include <map>
#include <string>

namespace oa {

class PinnedHostCheck {
public:
    enum class Verdict {
        Unpinned,   // not https, or no pin: the engine's own verification decides
        Checked,    // pinned, and it presented its pin to a handshake of this run
        Unchecked,  // pinned, and not (or with another pin) checked yet
    };

    static PinnedHostCheck& shared();

    Verdict verdict(const std::string& url) const;

    // Whether the server of `url` presents the key `pin` to a handshake now; `why` when not
    // (the changed-certificate title for another key). Blocking, any thread.
    static bool presentsPin(const std::string& url, const std::string& pin, std::string* why);

    // Checks the server of `url` off the main thread and calls `done(ok, why)` from the main
    // loop; a pass marks the host checked for its present pin. An unpinned server passes at once.
    void check(const std::string& url, std::function<void(bool ok, const std::string& why)> done);

    // Forgets every check (tests).
    void forget() { checked_.clear(); }

private:
    std::map<std::string, std::string> checked_;  // host:port → the pin it presented
};

}  // namespace oa
