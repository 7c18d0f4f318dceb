// oa-cli send-email: a new e-mail to staff, with copies, an external address and pictures.
#include <string>

#include "cli/Command.h"
#include "cli/SessionOptions.h"
#include "cli/Submission.h"
#include "core/protocol/EmailBO.h"

namespace oa::cli {
namespace {

constexpr const char* kEmailUsage =
    "--to USER_IDS [--cc USER_IDS] [--webmail ADDRESS] [--subject TEXT] [--content TEXT]\n"
    "      [PICTURE...] SESSION-OPTIONS\n"
    "      Sends an e-mail to the users USER_IDS (user_id values joined by \",\"), with copies\n"
    "      to --cc and to one external address; each PICTURE file goes with it, in order.";

int sendEmail(const Args& args) {
    SessionOptions session("send-email", args);
    EmailSaveVO record;
    const bool hasTo = session.takeOption("--to", record.to_id);
    session.takeOption("--cc", record.cs_id);
    session.takeOption("--webmail", record.webmail);
    session.takeOption("--subject", record.subject);
    session.takeOption("--content", record.content);
    if (int code = session.parse(record.imageAry)) {
        return code;
    }
    if (!hasTo || record.to_id.empty()) {
        return session.fail("no recipient: --to needs at least one user id");
    }
    if (int code = session.signIn()) {
        return code;
    }
    return reportVerdict(session, EmailBO().saveEmail(record), "sent");
}

}  // namespace

OA_CLI_COMMAND("send-email", kEmailUsage, sendEmail);

}  // namespace oa::cli
