// JsonOperation::splitLogin: the sign-in reply becomes the session state and the module list.
#include <string>
#include <vector>

#include "core/platform/Log.h"
#include "core/platform/NotificationCenter.h"
#include "core/protocol/JsonOperation.h"
#include "core/protocol/JsonReply.h"
#include "core/protocol/ReplyText.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"

namespace oa {

void JsonOperation::splitLogin(const Reply& reply) {
    auto& center = NotificationCenter::defaultCenter();
    nlohmann::json object = JsonReply::parse(reply);
    if (!object.is_object() || JsonReply::take(object, "status") != "YES") {
        // A refused sign-in leaves the previous session as it was.
        center.post(LoginBO::kLoginResult, std::string(LoginBO::kCredentialsFailure));
        return;
    }

    // Every key is written, absent ones as absent, so nothing of an earlier session survives.
    auto& session = GlobalVar::getInstance_global();
    session.setZq_ovix_version(JsonReply::take(object, "zq_ovix_version"));
    session.setLogin_user_name(JsonReply::take(object, "login_user_name"));
    // The IM service always listens on 1188, whatever port the page reports.
    logDiagnostic("23333232323" + JsonReply::take(object, "ovix_zqim_port").value_or("(null)"));
    session.setOvix_zqim_port("1188");
    session.setApp_title(JsonReply::take(object, "app_title"));
    session.setUid(JsonReply::take(object, "uid"));
    const Text functions = JsonReply::take(object, "login_func_str");
    // Last, so a reader that sees the new session id sees the rest of the new session too.
    session.setSession_id(JsonReply::take(object, "session_id"));

    std::vector<std::string> modules;
    if (functions) {
        for (auto& piece : splitKeepingEmpty(*functions, ',')) {
            if (!piece.empty()) {
                modules.push_back(std::move(piece));
            }
        }
    }
    modules.emplace_back("user");
    modules.emplace_back("weather");
    center.post(LoginBO::kLoginResult, std::move(modules));
}

}  // namespace oa
