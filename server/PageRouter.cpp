// Page registration with session checks.
#include "server/PageRouter.h"

#include "server/AdminGuard.h"
#include "server/FaultSwitch.h"
#include "server/FormBody.h"
#include "server/HttpSupport.h"

namespace oa {

void PageRouter::page(const std::string& path, const std::string& module, Reply reply,
                      UserHandler handler) {
    auto wrapped = [this, module, reply, handler = std::move(handler)](const httplib::Request& req,
                                                                       httplib::Response& res) {
        const auto user = sessions_.authenticate(req);
        if (!user) {
            if (reply == Reply::html) {
                HttpSupport::htmlError(res, 401, "会话已失效，请重新登录。");
            } else {
                HttpSupport::error(res, 401, "session");
            }
            return;
        }
        if (!module.empty() && !user->mayUse(module)) {
            if (reply == Reply::html) {
                HttpSupport::htmlError(res, 403, "您没有使用该模块的权限。");
            } else {
                HttpSupport::error(res, 403, "no permission for " + module);
            }
            return;
        }
        handler(req, res, *user);
    };
    http_.Get(path, withFaults(wrapped));
    post(path, std::move(wrapped));
}

void PageRouter::open(const std::string& path, Handler handler) {
    http_.Get(path, withFaults(handler));
    post(path, std::move(handler));
}

void PageRouter::post(const std::string& path, Handler handler) {
    // The body is read before the fault switch answers, so that the connection stays usable.
    http_.Post(path, [limit = maxBodyBytes_, handler = withFaults(std::move(handler))](
                         const httplib::Request& req, httplib::Response& res,
                         const httplib::ContentReader& reader) {
        // cpp-httplib hands content readers a const view of its own request object; filling
        // that object in place lets the logger and the error handler see the fields too.
        auto& whole = const_cast<httplib::Request&>(req);
        if (FormBody::read(whole, res, reader, limit)) {
            handler(whole, res);
        }
    });
}

void PageRouter::admin(const std::string& path, Handler handler) {
    post(path, [tls = tls_, handler = std::move(handler)](const httplib::Request& req,
                                                          httplib::Response& res) {
        if (AdminGuard::admit(req, res, tls)) {
            handler(req, res);
        }
    });
}

PageRouter::Handler PageRouter::withFaults(Handler handler) const {
    if (faults_ == nullptr) {
        return handler;
    }
    return [faults = faults_, handler = std::move(handler)](const httplib::Request& req,
                                                            httplib::Response& res) {
        if (!faults->intercept(req, res)) {
            handler(req, res);
        }
    };
}

void PageRouter::finish() {
    http_.Post(".*", [limit = maxBodyBytes_](const httplib::Request& req, httplib::Response& res,
                                             const httplib::ContentReader& reader) {
        if (FormBody::read(const_cast<httplib::Request&>(req), res, reader, limit)) {
            res.status = 404;
        }
    });
}

}  // namespace oa
