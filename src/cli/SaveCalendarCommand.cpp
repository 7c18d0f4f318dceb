// oa-cli save-calendar: a new schedule entry, with the schedule editor's defaults.
#include <string>

#include "cli/Command.h"
#include "cli/SessionOptions.h"
#include "cli/Submission.h"
#include "core/protocol/CalendarBO.h"

namespace oa::cli {
namespace {

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
    return reportVerdict(session, CalendarBO().saveCalendar(record), "saved");
}

}  // namespace

OA_CLI_COMMAND("save-calendar", kCalendarUsage, saveCalendar);

}  // namespace oa::cli
