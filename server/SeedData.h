// The demo data loaded into a new or reset database: a small company of twelve staff in four
// departments with their mail, notices, news, schedules, diaries, file cabinets, conversations,
// reminders, address book, and the area codes of a few dozen places. Deterministic: the same
// reset day gives the same data (times are counted back from that day).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "server/Database.h"

namespace oa {

class SeedData {
public:
    // Fills an empty database (the tables must exist); call it inside a transaction, which
    // makes the load one write. `today` is "YYYY-MM-DD"; empty means the current day.
    static void load(Database& db, const std::string& today);
    // Adds `count` generated staff (uids from kFirstGeneratedUid, logins "staff00001", ...,
    // password "123456") and `count` shared address-book contacts, after the demo data.
    static void generatedDirectory(Database& db, std::size_t count);
    static constexpr std::int64_t kFirstGeneratedUid = 1001;

    // The content of a generated attachment file of the seed items.
    // groupPhoto: a photo of about 4 MB; poster: a picture 300 x 1200; archive: a ".zip".
    enum class FileKind { text, pdf, doc, sheet, chart, org, photo, groupPhoto, poster, archive };

    // The modules of each kind of account, as the sign-in reply lists them.
    static constexpr const char* kAllModules =
        "email,notify,news,workflow,calendar,diary,file_folder,public_folder,address,tel_no";

private:
    class Clock {
    public:
        explicit Clock(std::string today) : today_(std::move(today)) {}
        // The stored time `daysAgo` days before the reset day at hh:mm.
        std::string at(int daysAgo, int hour, int minute) const;
        std::string date(int daysAgo) const;

    private:
        std::string today_;
    };

    static std::int64_t attach(Database& db, std::string_view module, std::int64_t itemId,
                               const std::string& name, FileKind kind);

    static void people(Database& db);
    static void directory(Database& db);
    static void mail(Database& db, const Clock& clock);
    static void bulletins(Database& db, const Clock& clock);
    static void planner(Database& db, const Clock& clock);
    static void cabinets(Database& db, const Clock& clock);
    static void conversations(Database& db, const Clock& clock);
    static void reminders(Database& db, const Clock& clock);
    static void workflow(Database& db, const Clock& clock);
};

}  // namespace oa
