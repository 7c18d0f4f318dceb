// oa-cli send: sends one text message (or, with --voice, a voice message) to a partner.
#include <iostream>
#include <string>

#include "cli/Command.h"
#include "cli/SessionOptions.h"
#include "core/protocol/MessageBO.h"

namespace oa::cli {
namespace {

constexpr const char* kUsage =
    "PARTNER_UID TEXT | --voice SECONDS PARTNER_UID FILE.amr  SESSION-OPTIONS\n"
    "      Sends TEXT to user PARTNER_UID, or the AMR file as a voice message of SECONDS.\n"
    "      The server's answer is not examined; only a failed transfer is an error.";

int run(const Args& args) {
    SessionOptions session("send", args);
    std::string seconds;
    const bool voice = session.takeOption("--voice", seconds);
    Args positional;
    if (int code = session.parse(positional)) {
        return code;
    }
    if (positional.size() != 2) {
        return session.fail(std::string("usage: oa-cli send ") + kUsage);
    }
    if (int code = session.signIn()) {
        return code;
    }
    const bool sent = voice ? MessageBO().sendVoiceMsg(positional[0], seconds, positional[1])
                            : MessageBO().sendSignleMsg(positional[0], positional[1]);
    if (!sent) {
        return session.fail("the message did not reach the server");
    }
    std::cout << "sent\n";
    return 0;
}

}  // namespace

OA_CLI_COMMAND("send", kUsage, run);

}  // namespace oa::cli
