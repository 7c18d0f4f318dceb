// oa-cli save-diary, send-email, save-calendar and send-all: the four submissions of the write
// screen, with the editors' defaults for what is not given.
#include <time.h>

#include <array>
#include <cctype>
#include <ctime>
#include <iostream>
#include <string>
#include <string_view>

#include "cli/Command.h"
#include "cli/SessionOptions.h"
#include "core/protocol/CalendarBO.h"
#include "core/protocol/DiaryBO.h"
#include "core/protocol/EmailBO.h"
#include "core/protocol/MessageBO.h"
#include "core/session/GlobalVar.h"

namespace oa::cli {
namespace {

// The local time now, formatted with strftime's `format`.
std::string localNow(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::array<char, 32> text{};
    const std::size_t length = std::strftime(text.data(), text.size(), format, &local);
    return std::string(text.data(), length);
}

// Whether `text` has the digits of `pattern` ('9') and its other characters in place.
bool shaped(std::string_view text, std::string_view pattern) {
    if (text.size() != pattern.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (pattern[i] == '9' ? !digit : text[i] != pattern[i]) {
            return false;
        }
    }
    return true;
}

bool isTime(std::string_view text) {
    return shaped(text, "99:99") && std::stoi(std::string(text.substr(0, 2))) < 24 &&
           std::stoi(std::string(text.substr(3, 2))) < 60;
}

// Reports a submission's verdict: "<what>" on stdout and 0, or the reason and 1.
int finish(const SessionOptions& session, const SubmitVerdict& verdict, const char* what) {
    if (!verdict.ok) {
        return session.fail("not " + std::string(what) + ": " + verdict.reason);
    }
    std::cout << what << "\n";
    return 0;
}

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
    return finish(session, DiaryBO().saveDiary(record), "saved");
}

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
    return finish(session, EmailBO().saveEmail(record), "sent");
}

constexpr const char* kCalendarUsage =
    "[--start HH:MM] [--end HH:MM] [--level 0-4] [--kind 1|2] [--content TEXT] SESSION-OPTIONS\n"
    "      Saves a new schedule entry: from --start to --end (both default to now), priority\n"
    "      --level (0 unspecified, the default, to 4), kind 1 work (the default) or 2 personal.";

int saveCalendar(const Args& args) {
    SessionOptions session("save-calendar", args);
    CalendarSaveVO record;
    const std::string now = localNow("%H:%M");
    if (!session.takeOption("--start", record.cal_start)) {
        record.cal_start = now;
    }
    if (!session.takeOption("--end", record.cal_end)) {
        record.cal_end = now;
    }
    if (!session.takeOption("--level", record.cal_leve)) {
        record.cal_leve = "0";
    }
    if (!session.takeOption("--kind", record.cal_type)) {
        record.cal_type = "1";
    }
    session.takeOption("--content", record.cal_content);
    Args positional;
    if (int code = session.parse(positional)) {
        return code;
    }
    if (!positional.empty()) {
        return session.fail(std::string("usage: oa-cli save-calendar ") + kCalendarUsage);
    }
    if (!isTime(record.cal_start) || !isTime(record.cal_end)) {
        return session.fail("--start and --end must be times such as 09:05");
    }
    if (record.cal_leve.size() != 1 || record.cal_leve[0] < '0' || record.cal_leve[0] > '4') {
        return session.fail("--level must be 0, 1, 2, 3 or 4");
    }
    if (record.cal_type != "1" && record.cal_type != "2") {
        return session.fail("--kind must be 1 (work) or 2 (personal)");
    }
    if (int code = session.signIn()) {
        return code;
    }
    return finish(session, CalendarBO().saveCalendar(record), "saved");
}

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
    return finish(session, MessageBO().sendMessages({positional[0], positional[1]}), "sent");
}

}  // namespace

OA_CLI_COMMAND("save-diary", kDiaryUsage, saveDiary);
OA_CLI_COMMAND("send-email", kEmailUsage, sendEmail);
OA_CLI_COMMAND("save-calendar", kCalendarUsage, saveCalendar);
OA_CLI_COMMAND("send-all", kAllUsage, sendAll);

}  // namespace oa::cli
