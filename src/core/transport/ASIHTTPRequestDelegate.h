// What the owner of an asynchronous request hears back, always on the main thread.
#pragma once

#include <cstdint>
#include <optional>

namespace oa {

class ASIHTTPRequest;

class ASIHTTPRequestDelegate {
public:
    virtual ~ASIHTTPRequestDelegate() = default;

    virtual void requestStarted(ASIHTTPRequest& request) { (void)request; }
    // The exchange completed; the reply may still be an HTTP error page.
    virtual void requestFinished(ASIHTTPRequest& request) { (void)request; }
    // The exchange failed; request.error() says why.
    virtual void requestFailed(ASIHTTPRequest& request) { (void)request; }
    // Between started and finished, for a request that streams to a download file: the body
    // bytes received so far (as sent, before inflating) and the reply's Content-Length when it
    // gave one. At most every ASIHTTPRequest::kProgressInterval, and once more with the last
    // bytes before requestFinished.
    virtual void requestReceivedBytes(ASIHTTPRequest& request, std::uint64_t received,
                                      std::optional<std::uint64_t> expected) {
        (void)request;
        (void)received;
        (void)expected;
    }
};

}  // namespace oa
