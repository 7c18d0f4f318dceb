// Sign-in ("/mobile/login.php") and the client's online report
// ("/mobile/update_online_status.php").
#pragma once

#include "server/PageRouter.h"
#include "server/ServerContext.h"

namespace oa {

class AccountPages {
public:
    explicit AccountPages(ServerContext& ctx) : ctx_(ctx) {}
    void install(PageRouter& router);

private:
    void login(const httplib::Request& req, httplib::Response& res);

    ServerContext& ctx_;
};

}  // namespace oa
