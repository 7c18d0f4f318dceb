// New items that reach users while the server runs (submissions, instant messages, admin
// events): each is stored in one transaction, gets its reminders, and then its recipients get
// the IM push ("n^email", "n^message", ...). Pushes go out after the database lock is released.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "server/Database.h"
#include "server/PushChannel.h"

namespace oa {

struct UploadedFile {
    std::string name;
    std::string mime;
    std::string data;
};

struct EmailDraft {
    std::int64_t fromUid = 0;
    std::vector<std::int64_t> to;
    std::vector<std::int64_t> copies;
    std::string subject;
    std::string contentHtml;
    int important = 0;
    std::string webmail;
    std::vector<UploadedFile> files;
};

class Deliveries {
public:
    Deliveries(Database& db, PushChannel& pushes) : db_(db), pushes_(pushes) {}

    // Returns the new e-mail's id; every recipient gets it in the inbox, a reminder and a push.
    std::int64_t sendEmail(const EmailDraft& draft);
    // A notice (or news item) for everyone who has the module: reminder and push to each.
    std::int64_t postNotice(std::int64_t fromUid, const std::string& typeName,
                            const std::string& subject, const std::string& colour, bool top,
                            const std::string& contentHtml);
    std::int64_t postNews(std::int64_t fromUid, const std::string& subject,
                          const std::string& colour, const std::string& contentHtml);
    // A reminder of the given kind; pushes the module of that kind when it has one.
    std::int64_t addReminder(std::int64_t toUid, std::int64_t fromUid, int smsType,
                             const std::string& content, const std::string& url);
    // One message per recipient; each recipient gets "n^message". Returns the message ids.
    std::vector<std::int64_t> sendMessage(std::int64_t fromUid,
                                          const std::vector<std::int64_t>& toUids,
                                          const std::string& text);
    // One stored AMR file shared by one message per recipient.
    std::vector<std::int64_t> sendVoice(std::int64_t fromUid,
                                        const std::vector<std::int64_t>& toUids,
                                        const std::string& amr, int seconds);

    // Users named by a comma-separated list of login names (`user_id`) or of numeric uids;
    // unknown and repeated entries are dropped, order is kept. The caller holds the lock.
    static std::vector<std::int64_t> usersByLoginNames(Database& db, std::string_view list);
    static std::vector<std::int64_t> usersByUids(Database& db, std::string_view list);
    // The module key a reminder kind opens in the client ("" for kinds shown as a page).
    static std::string moduleOfReminder(int smsType);
    // A reminder text for a new e-mail, notice, ... as the reminder list shows it.
    static std::string reminderText(std::string_view what, std::string_view subject);

private:
    using Pushes = std::vector<std::pair<std::int64_t, std::string>>;
    std::int64_t insertReminder(std::int64_t toUid, std::int64_t fromUid, int smsType,
                                const std::string& content, const std::string& url,
                                const std::string& time);
    std::vector<std::int64_t> usersWithModule(std::string_view module);
    // A reminder of a new item for every user with the module, and their "n^<module>" pushes.
    void remindUsersWithModule(const std::string& module, std::int64_t fromUid, int smsType,
                               std::string_view what, std::string_view subject,
                               const std::string& url, const std::string& time, Pushes& pushes);
    void flush(const Pushes& pushes);
    // Runs the work (given the current time) in one transaction under the lock, then sends the
    // pushes it collected; returns the work's item id.
    std::int64_t storeAndPush(
        const std::function<std::int64_t(const std::string& now, Pushes& pushes)>& work);

    Database& db_;
    PushChannel& pushes_;
};

}  // namespace oa
