// Registers the server's pages with cpp-httplib: every page answers GET and POST and checks the
// session (and the module grant) before its handler runs. POST bodies are read by FormBody, up
// to the server's request limit.
#pragma once

#include <httplib.h>

#include <cstddef>
#include <functional>
#include <string>

#include "server/SessionStore.h"

namespace oa {

class FaultSwitch;

class PageRouter {
public:
    enum class Reply { text, html };
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;
    using UserHandler =
        std::function<void(const httplib::Request&, httplib::Response&, const SessionUser&)>;

    PageRouter(httplib::Server& http, SessionStore& sessions, std::size_t maxBodyBytes)
        : http_(http), sessions_(sessions), maxBodyBytes_(maxBodyBytes) {}

    // Lets the fault switch answer or delay requests before any page registered afterwards (the
    // switch must outlive the server).
    void setFaults(FaultSwitch* faults) { faults_ = faults; }

    // A page for signed-in users. With a module key, users without that module are refused.
    // An unknown session changes nothing and gets a reply that is not JSON (an HTML page for
    // `Reply::html`).
    void page(const std::string& path, const std::string& module, Reply reply, UserHandler handler);
    // A page without session check.
    void open(const std::string& path, Handler handler);
    // A page without session check that answers POST only.
    void post(const std::string& path, Handler handler);
    // A POST page of the demo interface: only requests AdminGuard admits reach it.
    void admin(const std::string& path, Handler handler);
    // Whether the pages are served over TLS, which the demo interface's own origin names.
    void setTls(bool tls) { tls_ = tls; }
    // After every page: a POST to any other path has its body read (so that the connection
    // stays usable) and gets 404. Without it cpp-httplib would read the body itself and refuse
    // a long form with 413 instead.
    void finish();

private:
    // The handler behind the fault switch, when there is one.
    Handler withFaults(Handler handler) const;

    httplib::Server& http_;
    SessionStore& sessions_;
    std::size_t maxBodyBytes_;
    FaultSwitch* faults_ = nullptr;
    bool tls_ = false;
};

}  // namespace oa
