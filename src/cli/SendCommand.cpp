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
    "      Fails when no answer came or the server answered with a status outside 200-299; the\n"
    "      text of its answer is not examined.";

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
    const bool sent = voice ? MessageBO().sendVoiceMsg(positional[0], seconds, positional[1]).ok
                            : MessageBO().sendSignleMsg(positional[0], positional[1]);
    if (!sent) {
        if (int code = session.checkExchange()) {
            return code;
        }
        return session.fail("the message was not sent");
    }
    std::cout << "sent\n";
    return 0;
}

}  // namespace

OA_CLI_COMMAND("send", kUsage, run);

}  // namespace oa::cli
