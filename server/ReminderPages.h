// Counters and reminders: the per-module unread counts of "/mobile/services_count.php", the
// reminder list and mark-read of "/mobile/sms/data.php", and the page of a reminder that has no
// module of its own.
#pragma once

#include <nlohmann/json.hpp>

#include "server/PageRouter.h"
#include "server/ServerContext.h"

namespace oa {

class ReminderPages {
public:
    static constexpr int kMaxReminders = 100;

    explicit ReminderPages(ServerContext& ctx) : ctx_(ctx) {}
    void install(PageRouter& router);

    // The counters of the modules the user was granted, as texts. The caller holds the lock.
    static nlohmann::json counters(Database& db, const SessionUser& user);
    // Marks the user's reminders that point at `url` read (opening an item settles them).
    static void settle(Database& db, std::int64_t uid, const std::string& url);

private:
    void count(const httplib::Request& req, httplib::Response& res);
    void data(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void show(const httplib::Request& req, httplib::Response& res, const SessionUser& user);

    ServerContext& ctx_;
};

}  // namespace oa
