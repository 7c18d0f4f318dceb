// The demo and test interface, for requests AdminGuard admits: POST "/demo/admin/event" creates a
// new e-mail, notice, news item, reminder or instant message for a user, with the pushes that
// follow, as if a colleague had sent it. A message with "voice" (seconds) is a synthesised voice
// message.
#pragma once

#include "server/Deliveries.h"
#include "server/PageRouter.h"
#include "server/ServerContext.h"

namespace oa {

class AdminPages {
public:
    AdminPages(ServerContext& ctx, Deliveries& deliveries) : ctx_(ctx), deliveries_(deliveries) {}
    void install(PageRouter& router);

    static constexpr std::int64_t kMaxVoiceSeconds = 60;

private:
    void event(const httplib::Request& req, httplib::Response& res);

    ServerContext& ctx_;
    Deliveries& deliveries_;
};

}  // namespace oa
