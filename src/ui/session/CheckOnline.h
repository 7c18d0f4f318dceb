// CheckOnline: tells the server once a minute that the user is online, for as long as the
// process runs after the main index first loaded. One timer per process; each report carries
// the session current at that moment.
#pragma once

#include <memory>
#include <mutex>

#include "core/platform/MainLoop.h"
#include "core/transport/ASIHTTPRequestDelegate.h"

namespace oa {

class ASIFormDataRequest;

class CheckOnline : public ASIHTTPRequestDelegate {
public:
    static constexpr Duration kInterval = std::chrono::seconds(60);
    static constexpr char kPage[] = "/mobile/update_online_status.php";

    // The shared instance; the first call creates it and starts the timer. Main thread.
    static CheckOnline& shar();
    // Stops the timer and forgets the instance (its requests finish without it). For tests.
    static void resetForTesting();

    ~CheckOnline() override;

    // One report: "CLIENT" = "5" and "P" = the session id, sent asynchronously.
    void checkAction();
    // The reply and any failure are of no interest.
    void requestFinished(ASIHTTPRequest& request) override;
    void requestFailed(ASIHTTPRequest& request) override;

    // The last report sent, for tests.
    std::shared_ptr<ASIFormDataRequest> lastRequest() const { return lastRequest_; }

private:
    CheckOnline() = default;

    TimerHandle timer_;                                // Main thread only.
    std::shared_ptr<ASIFormDataRequest> lastRequest_;  // Main thread only.
};

}  // namespace oa
