// oa-cli save-diary: a new diary entry, with the diary editor's defaults and pictures.
#include <string>

#include "cli/Command.h"
#include "cli/SessionOptions.h"
#include "cli/Submission.h"
#include "core/protocol/DiaryBO.h"
#include "core/session/GlobalVar.h"

namespace oa::cli {
namespace {

constexpr const char* kDiaryUsage =
    "[--title TITLE] [--date YYYY-MM-DD] [--kind 1|2] [--content TEXT] [PICTURE...]\n"
    "      SESSION-OPTIONS\n"
    "      Saves a new diary entry; kind 1 (the default) is a work diary, 2 a personal one. The\n"
    "      title defaults to the user's name, today's date and the kind, the date to today.\n"
    "      Each PICTURE file is uploaded as a picture of the entry, in order.";

int saveDiary(const Args& args) {
    SessionOptions session("save-diary", args);
    DiarySaveVO record;
    std::string title;
    const bool hasTitle = session.takeOption("--title", title);
    if (!session.takeOption("--date", record.diaryDate)) {
        record.diaryDate = localNow("%Y-%m-%d");
    }
    if (!session.takeOption("--kind", record.diaryType)) {
        record.diaryType = "1";
    }
    session.takeOption("--content", record.diaryContent);
    if (int code = session.parse(record.diaryAttachment)) {
        return code;
    }
    if (record.diaryType != "1" && record.diaryType != "2") {
        return session.fail("--kind must be 1 (work diary) or 2 (personal diary)");
    }
    if (!shaped(record.diaryDate, "9999-99-99")) {
        return session.fail("--date must look like 2013-06-28");
    }
    if (int code = session.signIn()) {
        return code;
    }
    record.diaryTitle = hasTitle ? title
                                 : GlobalVar::getInstance_global().login_user_name().value_or("") +
                                       localNow("%Y-%m-%d") +
                                       (record.diaryType == "2" ? "个人日志" : "工作日志");
    return reportVerdict(session, DiaryBO().saveDiary(record), "saved");
}

}  // namespace

OA_CLI_COMMAND("save-diary", kDiaryUsage, saveDiary);

}  // namespace oa::cli
