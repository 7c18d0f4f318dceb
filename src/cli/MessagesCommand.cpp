// oa-cli messages: the conversation list of the instant messages.
#include <iostream>
#include <string>

#include "cli/Command.h"
#include "cli/RecordText.h"
#include "cli/SessionOptions.h"
#include "core/protocol/MessageBO.h"

namespace oa::cli {
namespace {

constexpr const char* kUsage =
    "SESSION-OPTIONS\n"
    "      The conversations, one JSON object each, as the conversation list shows them.";

int run(const Args& args) {
    SessionOptions session("messages", args);
    Args positional;
    if (int code = session.parse(positional)) {
        return code;
    }
    if (!positional.empty()) {
        return session.fail(std::string("usage: oa-cli messages ") + kUsage);
    }
    if (int code = session.signIn()) {
        return code;
    }
    const auto conversations = MessageBO().getMessageInfo();
    if (int code = session.checkExchange()) {
        return code;
    }
    printRecords(conversations);
    std::cerr << conversations.size() << " conversations\n";
    return 0;
}

}  // namespace

OA_CLI_COMMAND("messages", kUsage, run);

}  // namespace oa::cli
