// oa-cli dialog: the messages exchanged with one partner.
#include <iostream>
#include <string>

#include "cli/Command.h"
#include "cli/RecordText.h"
#include "cli/SessionOptions.h"
#include "core/protocol/MessageBO.h"

namespace oa::cli {
namespace {

constexpr const char* kUsage =
    "PARTNER_ID SESSION-OPTIONS\n"
    "      The dialog with user PARTNER_ID, one JSON object per message, in reply order.";

int run(const Args& args) {
    SessionOptions session("dialog", args);
    Args positional;
    if (int code = session.parse(positional)) {
        return code;
    }
    if (positional.size() != 1) {
        return session.fail(std::string("usage: oa-cli dialog ") + kUsage);
    }
    if (int code = session.signIn()) {
        return code;
    }
    const auto messages = MessageBO().getMessageDetail(positional[0]);
    if (int code = session.checkExchange()) {
        return code;
    }
    printRecords(messages);
    std::cerr << messages.size() << " messages\n";
    return 0;
}

}  // namespace

OA_CLI_COMMAND("dialog", kUsage, run);

}  // namespace oa::cli
