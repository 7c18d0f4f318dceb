// Sign-in and online status.
#include "server/AccountPages.h"

#include "server/HttpSupport.h"

namespace oa {

void AccountPages::install(PageRouter& router) {
    router.open("/mobile/login.php",
                [this](const httplib::Request& req, httplib::Response& res) { login(req, res); });
    router.page("/mobile/update_online_status.php", "", PageRouter::Reply::text,
                [this](const httplib::Request&, httplib::Response& res, const SessionUser& user) {
                    ctx_.sessions.markOnline(user.uid);
                    HttpSupport::text(res, "OK");
                });
}

void AccountPages::login(const httplib::Request& req, httplib::Response& res) {
    const auto user = ctx_.sessions.signIn(HttpSupport::fieldOr(req, "USERNAME"),
                                           HttpSupport::fieldOr(req, "PASSWORD"));
    if (!user) {
        HttpSupport::json(res, {{"status", "NO"}, {"msg", "用户名或密码错误"}});
        return;
    }
    // Scripts of the web views never need the session, and over TLS it must not travel in
    // the clear should the same host also be reached over plain HTTP.
    res.set_header("Set-Cookie", std::string(SessionStore::kCookieName) + "=" + user->sessionId +
                                     "; Path=/; HttpOnly" + (ctx_.tls ? "; Secure" : ""));
    HttpSupport::json(res, {{"status", "YES"},
                            {"session_id", user->sessionId},
                            {"uid", std::to_string(user->uid)},
                            {"login_user_name", user->userName},
                            {"app_title", ctx_.appTitle},
                            {"zq_ovix_version", ctx_.webVersion},
                            {"ovix_zqim_port", std::to_string(ctx_.imPort)},
                            {"login_func_str", user->funcStr}});
}

}  // namespace oa
