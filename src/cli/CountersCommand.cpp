// oa-cli counters: the module counters the home grid shows as badges.
#include <iostream>
#include <string>

#include "cli/Command.h"
#include "cli/SessionOptions.h"
#include "core/protocol/HomeBO.h"

namespace oa::cli {
namespace {

constexpr const char* kUsage =
    "[MODULES] SESSION-OPTIONS\n"
    "      Asks for the counters as the main index does, with MODULES (\"INIT\" unless given)\n"
    "      as the module argument; prints one \"KEY COUNT\" line per counter.";

int run(const Args& args) {
    SessionOptions session("counters", args);
    Args positional;
    if (int code = session.parse(positional)) {
        return code;
    }
    if (positional.size() > 1) {
        return session.fail(std::string("usage: oa-cli counters ") + kUsage);
    }
    const std::string modules = positional.empty() ? "INIT" : positional[0];
    if (int code = session.signIn()) {
        return code;
    }
    const auto counters = HomeBO().getHomeTipInfo(modules);
    if (int code = session.checkExchange()) {
        return code;
    }
    for (const auto& [key, count] : counters) {
        std::cout << key << " " << count << "\n";
    }
    std::cerr << counters.size() << " counters\n";
    return 0;
}

}  // namespace

OA_CLI_COMMAND("counters", kUsage, run);

}  // namespace oa::cli
