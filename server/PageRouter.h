// Registers the server's pages with cpp-httplib: every page answers GET and POST and checks the
// session (and the module grant) before its handler runs.
#pragma once

#include <httplib.h>

#include <functional>
#include <string>

#include "server/SessionStore.h"

namespace oa {

class PageRouter {
public:
    enum class Reply { text, html };
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;
    using UserHandler =
        std::function<void(const httplib::Request&, httplib::Response&, const SessionUser&)>;

    PageRouter(httplib::Server& http, SessionStore& sessions) : http_(http), sessions_(sessions) {}

    // A page for signed-in users. With a module key, users without that module are refused.
    // An unknown session changes nothing and gets a reply that is not JSON (an HTML page for
    // `Reply::html`).
    void page(const std::string& path, const std::string& module, Reply reply, UserHandler handler);
    // A page without session check.
    void open(const std::string& path, Handler handler);

    httplib::Server& http() { return http_; }

private:
    httplib::Server& http_;
    SessionStore& sessions_;
};

}  // namespace oa
