// PinnedHostCheck: the verdict from the pins and the checks, and the handshake behind a check.
#include "ui/platform/PinnedHostCheck.h"

#include <optional>

#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"
#include "core/session/TrustQuestion.h"
#include "core/transport/CertificatePins.h"
#include "core/transport/CertificateProbe.h"

namespace oa {

PinnedHostCheck& PinnedHostCheck::shared() {
    static auto* check = new PinnedHostCheck;  // lives with the process
    return *check;
}

PinnedHostCheck::Verdict PinnedHostCheck::verdict(const std::string& url) const {
    const std::string hostPort = CertificatePins::hostPortOf(url);
    const std::optional<std::string> pin =
        hostPort.empty() ? std::nullopt : CertificatePins::shared().pinFor(hostPort);
    if (!pin) {
        return Verdict::Unpinned;
    }
    const auto found = checked_.find(hostPort);
    return found != checked_.end() && found->second == *pin ? Verdict::Checked : Verdict::Unchecked;
}

bool PinnedHostCheck::presentsPin(const std::string& url, const std::string& pin,
                                  std::string* why) {
    std::string error;
    const auto certificate = CertificateProbe::fetch(url, &error);
    if (!certificate) {
        *why = error;
        return false;
    }
    if (certificate->pin() != pin) {
        *why = TrustQuestion::kChangedTitle;
        return false;
    }
    return true;
}

void PinnedHostCheck::check(const std::string& url,
                            std::function<void(bool ok, const std::string& why)> done) {
    const std::string hostPort = CertificatePins::hostPortOf(url);
    const std::optional<std::string> pin =
        hostPort.empty() ? std::nullopt : CertificatePins::shared().pinFor(hostPort);
    if (!pin) {
        MainLoop::main().post([done = std::move(done)] { done(true, {}); });
        return;
    }
    runInBackground([url, hostPort, pin = *pin, done = std::move(done)] {
        std::string why;
        const bool ok = presentsPin(url, pin, &why);
        if (!ok) {
            log("web view refused " + hostPort + ": " + why);
        }
        MainLoop::main().post([ok, why, hostPort, pin, done] {
            if (ok) {
                shared().checked_[hostPort] = pin;
            }
            done(ok, why);
        });
    });
}

}  // namespace oa
