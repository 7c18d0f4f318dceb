// The server's own web pages that the client shows in web views: the workflow module (a list of
// the user's steps, a step's page with "同意"/"退回", and the link "backtomain:" that closes the
// page) and "/mobile/go.php", which opens a reminder's page given in Base64.
#pragma once

#include "server/Deliveries.h"
#include "server/PageRouter.h"
#include "server/ServerContext.h"

namespace oa {

class WebPages {
public:
    WebPages(ServerContext& ctx, Deliveries& deliveries) : ctx_(ctx), deliveries_(deliveries) {}
    void install(PageRouter& router);

    // Where go.php sends the browser for a decoded address: a path on this server (the session
    // added), or nothing for an address elsewhere, which is only shown as a link.
    static std::optional<std::string> localTarget(const std::string& address,
                                                  const std::string& host,
                                                  const std::string& sessionId);

private:
    void workflowList(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void workflowStep(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void workflowHandle(const httplib::Request& req, httplib::Response& res,
                        const SessionUser& user);
    void go(const httplib::Request& req, httplib::Response& res, const SessionUser& user);

    ServerContext& ctx_;
    Deliveries& deliveries_;
};

}  // namespace oa
