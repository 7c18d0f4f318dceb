// Page registration with session checks.
#include "server/PageRouter.h"

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
    http_.Get(path, wrapped);
    http_.Post(path, wrapped);
}

void PageRouter::open(const std::string& path, Handler handler) {
    http_.Get(path, handler);
    http_.Post(path, std::move(handler));
}

}  // namespace oa
