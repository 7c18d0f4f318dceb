// oa-cli sms: the pending-affair reminders; --read marks one read.
#include <iostream>
#include <string>

#include "cli/Command.h"
#include "cli/RecordText.h"
#include "cli/SessionOptions.h"
#include "core/protocol/SmsBO.h"

namespace oa::cli {
namespace {

constexpr const char* kUsage =
    "[--read SMS_ID] SESSION-OPTIONS\n"
    "      The reminders, one JSON object each; --read first marks reminder SMS_ID read.";

int run(const Args& args) {
    SessionOptions session("sms", args);
    std::string readId;
    const bool read = session.takeOption("--read", readId);
    Args positional;
    if (int code = session.parse(positional)) {
        return code;
    }
    if (!positional.empty()) {
        return session.fail(std::string("usage: oa-cli sms ") + kUsage);
    }
    if (int code = session.signIn()) {
        return code;
    }
    SmsBO bo;
    if (read) {
        bo.readSms(readId);
        if (int code = session.checkExchange()) {
            return code;
        }
    }
    const auto reminders = bo.getSmsInfo();
    if (int code = session.checkExchange()) {
        return code;
    }
    printRecords(reminders);
    std::cerr << reminders.size() << " reminders\n";
    return 0;
}

}  // namespace

OA_CLI_COMMAND("sms", kUsage, run);

}  // namespace oa::cli
