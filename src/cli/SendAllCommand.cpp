// oa-cli send-all: one text message to several people.
#include <string>

#include "cli/Command.h"
#include "cli/SessionOptions.h"
#include "cli/Submission.h"
#include "core/protocol/MessageBO.h"

namespace oa::cli {
namespace {

constexpr const char* kAllUsage =
    "USER_UIDS TEXT SESSION-OPTIONS\n"
    "      Sends TEXT as an instant message to each of the users USER_UIDS (user_uid values\n"
    "      joined by \",\").";

int sendAll(const Args& args) {
    SessionOptions session("send-all", args);
    Args positional;
    if (int code = session.parse(positional)) {
        return code;
    }
    if (positional.size() != 2) {
        return session.fail(std::string("usage: oa-cli send-all ") + kAllUsage);
    }
    if (positional[0].empty()) {
        return session.fail("no recipient: USER_UIDS is empty");
    }
    if (int code = session.signIn()) {
        return code;
    }
    return reportVerdict(session, MessageBO().sendMessages({positional[0], positional[1]}), "sent");
}

}  // namespace

OA_CLI_COMMAND("send-all", kAllUsage, sendAll);

}  // namespace oa::cli
