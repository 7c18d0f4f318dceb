// Counter and reminder pages.
#include "server/ReminderPages.h"

#include "server/HtmlPage.h"
#include "server/HttpSupport.h"
#include "server/TimeText.h"

namespace oa {

nlohmann::json ReminderPages::counters(Database& db, const SessionUser& user) {
    struct Counter {
        const char* module;
        const char* sql;  // one parameter: the user
    };
    static const Counter kCounters[] = {
        {"email", "SELECT COUNT(*) FROM email_boxes WHERE uid = ?1 AND read_flag = 0"},
        {"notify",
         "SELECT COUNT(*) FROM notices n WHERE NOT EXISTS (SELECT 1 FROM notice_reads r WHERE "
         "r.notify_id = n.notify_id AND r.uid = ?1)"},
        {"news",
         "SELECT COUNT(*) FROM news n WHERE NOT EXISTS (SELECT 1 FROM news_reads r WHERE "
         "r.news_id = n.news_id AND r.uid = ?1)"},
        {"workflow", "SELECT COUNT(*) FROM workflow_runs WHERE uid = ?1 AND done = 0"},
        {"calendar",
         "SELECT COUNT(*) FROM reminders WHERE to_uid = ?1 AND sms_type = 5 AND read_flag = 0"},
        {"diary",
         "SELECT COUNT(*) FROM reminders WHERE to_uid = ?1 AND sms_type = 13 AND read_flag = 0"},
        {"file_folder", nullptr},
        {"public_folder", nullptr},
        {"address", nullptr},
        {"tel_no", nullptr},
    };
    nlohmann::json out = nlohmann::json::object();
    for (const Counter& c : kCounters) {
        if (user.mayUse(c.module)) {
            out[c.module] = std::to_string(c.sql ? db.scalar(c.sql, 0, user.uid) : 0);
        }
    }
    return out;
}

void ReminderPages::settle(Database& db, std::int64_t uid, const std::string& url) {
    db.run("UPDATE reminders SET read_flag = 1 WHERE to_uid = ? AND sms_url = ? AND read_flag = 0",
           uid, url);
}

void ReminderPages::install(PageRouter& router) {
    using namespace std::placeholders;
    router.open("/mobile/services_count.php",
                [this](const httplib::Request& req, httplib::Response& res) { count(req, res); });
    router.page("/mobile/sms/data.php", "", PageRouter::Reply::text,
                std::bind(&ReminderPages::data, this, _1, _2, _3));
    router.page("/mobile/sms/show.php", "", PageRouter::Reply::html,
                std::bind(&ReminderPages::show, this, _1, _2, _3));
}

void ReminderPages::count(const httplib::Request& req, httplib::Response& res) {
    // The counter request carries "UID" and "MODULES" but no "P": the session cookie of that
    // user vouches for the uid ("P" does too, when a caller sends one). Another user's
    // session does not, and neither does the user merely holding a session somewhere.
    const auto uid = HttpSupport::requireId(req, res, "UID");
    if (!uid) {
        return;
    }
    const std::optional<SessionUser> user = ctx_.sessions.authenticate(req);
    if (!user) {
        HttpSupport::error(res, 401, "session");
        return;
    }
    if (user->uid != *uid) {
        HttpSupport::error(res, 403, "UID is not the signed-in user");
        return;
    }
    auto lock = ctx_.db.lock();
    const nlohmann::json reply{{"module", nlohmann::json::array({counters(ctx_.db, *user)})}};
    lock.unlock();
    HttpSupport::json(res, reply);
}

void ReminderPages::data(const httplib::Request& req, httplib::Response& res,
                         const SessionUser& user) {
    const std::string atype = HttpSupport::fieldOr(req, "ATYPE");
    if (atype == "readsms") {
        const auto id = HttpSupport::requireId(req, res, "SMS_ID");
        if (!id) {
            return;
        }
        auto lock = ctx_.db.lock();
        ctx_.db.run("UPDATE reminders SET read_flag = 1 WHERE sms_id = ? AND to_uid = ?", *id,
                    user.uid);
        if (ctx_.db.changes() == 0) {
            HttpSupport::error(res, 404, "no such reminder");
            return;
        }
        lock.unlock();
        HttpSupport::text(res, "OK");
        return;
    }
    if (atype != "refreshList" || HttpSupport::fieldOr(req, "A", "loadList") != "loadList") {
        HttpSupport::error(res, 400, "unknown ATYPE");
        return;
    }
    nlohmann::json list = nlohmann::json::array();
    auto lock = ctx_.db.lock();
    Statement stmt = ctx_.db.query(
        "SELECT r.sms_id, r.sms_url, r.sms_type, r.time, u.user_name, r.content FROM reminders r "
        "JOIN users u ON u.uid = r.from_uid WHERE r.to_uid = ? AND r.read_flag = 0 "
        "ORDER BY r.sms_id DESC LIMIT " +
            std::to_string(kMaxReminders),
        user.uid);
    while (stmt.step()) {
        list.push_back({{"q_id", std::to_string(stmt.integer(0))},
                        {"sms_url", stmt.text(1)},
                        {"sms_type", std::to_string(stmt.integer(2))},
                        {"time", TimeText::monthDayClock(stmt.text(3))},
                        {"from_name", stmt.text(4)},
                        {"content", stmt.text(5)}});
    }
    lock.unlock();
    HttpSupport::json(res, list);
}

void ReminderPages::show(const httplib::Request& req, httplib::Response& res,
                         const SessionUser& user) {
    const auto id = HttpSupport::idField(req, "SMS_ID");
    if (!id) {
        HttpSupport::htmlError(res, 400, "缺少提醒编号。");
        return;
    }
    auto lock = ctx_.db.lock();
    Statement stmt = ctx_.db.query(
        "SELECT r.content, r.time, u.user_name FROM reminders r JOIN users u ON u.uid = "
        "r.from_uid WHERE r.sms_id = ? AND r.to_uid = ?",
        *id, user.uid);
    if (!stmt.step()) {
        HttpSupport::htmlError(res, 404, "提醒不存在。");
        return;
    }
    const std::string page = HtmlPage::readPage(
        "事务提醒", {{"发送人", stmt.text(2)}, {"时间", TimeText::minutes(stmt.text(1))}},
        "<p>" + HtmlPage::escape(stmt.text(0)) + "</p>", {});
    lock.unlock();
    HttpSupport::html(res, page);
}

}  // namespace oa
