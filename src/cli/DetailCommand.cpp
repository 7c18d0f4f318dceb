// oa-cli detail: one item of a module, with its attachment links appended to the content.
#include <iostream>
#include <string>

#include "cli/Command.h"
#include "cli/RecordText.h"
#include "cli/SessionOptions.h"
#include "core/protocol/ModuleLogicFactory.h"

namespace oa::cli {
namespace {

constexpr const char* kUsage =
    "KEY ID SESSION-OPTIONS\n"
    "      The detail of item ID of module KEY (email, notify, news, diary, file_folder,\n"
    "      public_folder) as one JSON object.";

int run(const Args& args) {
    SessionOptions session("detail", args);
    Args positional;
    if (int code = session.parse(positional)) {
        return code;
    }
    if (positional.size() != 2) {
        return session.fail(std::string("usage: oa-cli detail ") + kUsage);
    }
    const std::string& key = positional[0];
    auto logic = ModuleLogicFactory::createDetailLogic(key);
    if (!logic || !logic->getDetailType()) {
        return session.fail("\"" + key + "\" has no item details");
    }
    if (int code = session.signIn()) {
        return code;
    }
    const auto detail = logic->getDetailInfo(positional[1]);
    if (!detail) {
        return session.fail("no detail for \"" + key + "\"");
    }
    if (int code = session.checkExchange()) {
        return code;
    }
    std::cout << recordText(*detail) << "\n";
    return 0;
}

}  // namespace

OA_CLI_COMMAND("detail", kUsage, run);

}  // namespace oa::cli
