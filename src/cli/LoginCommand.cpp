// oa-cli login: signs in and prints the module list and the session values.
#include <iostream>
#include <optional>
#include <string>

#include "cli/Command.h"
#include "cli/SessionOptions.h"
#include "core/session/GlobalVar.h"

namespace oa::cli {
namespace {

void printValue(const char* name, const std::optional<std::string>& value) {
    std::cout << name << " = " << (value ? *value : "(absent)") << "\n";
}

int run(const Args& args) {
    SessionOptions session("login", args);
    Args positional;
    if (int code = session.parse(positional)) {
        return code;
    }
    if (!positional.empty()) {
        return session.fail("takes no arguments");
    }
    if (int code = session.signIn()) {
        return code;
    }
    std::cout << "modules:";
    for (const auto& key : session.modules()) {
        std::cout << " " << key;
    }
    std::cout << "\n";
    const auto& state = GlobalVar::getInstance_global();
    printValue("oa", state.oa());
    printValue("session_id", state.session_id());
    printValue("uid", state.uid());
    printValue("login_user_name", state.login_user_name());
    printValue("app_title", state.app_title());
    printValue("zq_ovix_version", state.zq_ovix_version());
    printValue("ovix_zqim_port", state.ovix_zqim_port());
    return 0;
}

}  // namespace

OA_CLI_COMMAND("login", kSessionUsage, run);

}  // namespace oa::cli
