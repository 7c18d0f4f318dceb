// What the owner of an asynchronous request hears back, always on the main thread.
#pragma once

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
};

}  // namespace oa
