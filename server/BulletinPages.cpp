// Notice and news pages.
#include "server/BulletinPages.h"

#include "server/AttachmentStore.h"
#include "server/HtmlPage.h"
#include "server/HttpSupport.h"
#include "server/ListPaging.h"
#include "server/ReminderPages.h"
#include "server/TimeText.h"

namespace oa {

namespace {

constexpr const char* kNotice =
    "SELECT n.notify_id, n.type_name, u.user_name, n.send_time, n.subject, n.subject_color, "
    "n.begin_date, n.content FROM notices n JOIN users u ON u.uid = n.from_uid "
    "WHERE n.notify_id = ?";

constexpr const char* kNews =
    "SELECT n.news_id, n.subject, n.subject_color, n.send_time, u.user_name, n.content, "
    "n.base_clicks + (SELECT COUNT(*) FROM news_reads r WHERE r.news_id = n.news_id) "
    "FROM news n JOIN users u ON u.uid = n.from_uid WHERE n.news_id = ?";

// Reading a notice or news item marks it read and settles its reminders.
void markNoticeRead(Database& db, std::int64_t uid, std::int64_t id) {
    db.run("INSERT OR IGNORE INTO notice_reads (notify_id, uid) VALUES (?, ?)", id, uid);
    ReminderPages::settle(db, uid, "/mobile/notify/read.php?NOTIFY_ID=" + std::to_string(id));
}

void markNewsRead(Database& db, std::int64_t uid, std::int64_t id) {
    db.run(
        "INSERT OR IGNORE INTO news_reads (news_id, uid) SELECT news_id, ? FROM news "
        "WHERE news_id = ?",
        uid, id);
    ReminderPages::settle(db, uid, "/mobile/news/read.php?NEWS_ID=" + std::to_string(id));
}

}  // namespace

void BulletinPages::install(PageRouter& router) {
    using namespace std::placeholders;
    router.page("/mobile/notify/data.php", "notify", PageRouter::Reply::text,
                std::bind(&BulletinPages::notifyData, this, _1, _2, _3));
    router.page("/mobile/notify/read.php", "notify", PageRouter::Reply::html,
                std::bind(&BulletinPages::notifyRead, this, _1, _2, _3));
    router.page("/mobile/news/data.php", "news", PageRouter::Reply::text,
                std::bind(&BulletinPages::newsData, this, _1, _2, _3));
    router.page("/mobile/news/read.php", "news", PageRouter::Reply::html,
                std::bind(&BulletinPages::newsRead, this, _1, _2, _3));
}

void BulletinPages::notifyData(const httplib::Request& req, httplib::Response& res,
                               const SessionUser& user) {
    const std::string atype = HttpSupport::fieldOr(req, "ATYPE");
    if (atype == "refreshList") {
        // Pinned notices keep their place by id: moving them to the top would break the
        // id-based paging of "getNew" and the offsets of "getMore".
        const ListQuery query{
            "SELECT n.notify_id, EXISTS (SELECT 1 FROM notice_reads r WHERE r.notify_id = "
            "n.notify_id AND r.uid = ?), n.subject, n.subject_color, n.top, n.send_time, "
            "u.user_name, (SELECT COUNT(*) FROM item_attachments ia WHERE ia.module = 'notify' "
            "AND ia.item_id = n.notify_id) FROM notices n JOIN users u ON u.uid = n.from_uid "
            "WHERE 1",
            {user.uid},
            "n.notify_id"};
        ListPaging::reply(req, res, ctx_.db, query, [](const Statement& row) {
            return nlohmann::json{{"q_id", std::to_string(row.integer(0))},
                                  {"read_flag", std::to_string(row.integer(1))},
                                  {"subject", row.text(2)},
                                  {"subject_color", row.text(3)},
                                  {"top", std::to_string(row.integer(4))},
                                  {"send_time", TimeText::monthDayClock(row.text(5))},
                                  {"from_name", row.text(6)},
                                  {"has_attachment", row.integer(7) > 0 ? "1" : "0"}};
        });
        return;
    }
    if (atype != "getNotifyContent") {
        HttpSupport::error(res, 400, "unknown ATYPE");
        return;
    }
    const auto id = HttpSupport::requireId(req, res, "Q_ID");
    if (!id) {
        return;
    }
    auto lock = ctx_.db.lock();
    Statement stmt = ctx_.db.query(kNotice, *id);
    if (!stmt.step()) {
        HttpSupport::error(res, 404, "no such notice");
        return;
    }
    nlohmann::json item{{"q_id", std::to_string(stmt.integer(0))},
                        {"type_name", stmt.text(1)},
                        {"from_name", stmt.text(2)},
                        {"send_time", TimeText::minutes(stmt.text(3))},
                        {"subject", stmt.text(4)},
                        {"subject_color", stmt.text(5)},
                        {"begin_date", stmt.text(6)},
                        {"content", stmt.text(7)}};
    AttachmentStore::describe(item, AttachmentStore::of(ctx_.db, "notify", *id));
    markNoticeRead(ctx_.db, user.uid, *id);
    lock.unlock();
    HttpSupport::json(res, item);
}

void BulletinPages::notifyRead(const httplib::Request& req, httplib::Response& res,
                               const SessionUser& user) {
    const auto id = HttpSupport::idField(req, "NOTIFY_ID");
    if (!id) {
        HttpSupport::htmlError(res, 400, "缺少公告编号。");
        return;
    }
    auto lock = ctx_.db.lock();
    Statement stmt = ctx_.db.query(kNotice, *id);
    if (!stmt.step()) {
        HttpSupport::htmlError(res, 404, "公告不存在或已被删除。");
        return;
    }
    const std::string page = HtmlPage::readPage(
        stmt.text(4),
        {{"类型", stmt.text(1)},
         {"发布人", stmt.text(2)},
         {"发布时间", TimeText::minutes(stmt.text(3))},
         {"生效日期", stmt.text(6)}},
        stmt.text(7), AttachmentStore::snippets(ctx_.db, "notify", *id, user.sessionId),
        stmt.text(5));
    markNoticeRead(ctx_.db, user.uid, *id);
    lock.unlock();
    HttpSupport::html(res, page);
}

void BulletinPages::newsData(const httplib::Request& req, httplib::Response& res,
                             const SessionUser& user) {
    const std::string atype = HttpSupport::fieldOr(req, "ATYPE");
    if (atype == "refreshList") {
        const ListQuery query{
            "SELECT n.news_id, EXISTS (SELECT 1 FROM news_reads r WHERE r.news_id = n.news_id "
            "AND r.uid = ?), n.subject, n.subject_color, n.send_time, u.user_name, "
            "n.base_clicks + (SELECT COUNT(*) FROM news_reads r WHERE r.news_id = n.news_id), "
            "(SELECT COUNT(*) FROM item_attachments ia WHERE ia.module = 'news' AND "
            "ia.item_id = n.news_id) FROM news n JOIN users u ON u.uid = n.from_uid WHERE 1",
            {user.uid},
            "n.news_id"};
        ListPaging::reply(req, res, ctx_.db, query, [](const Statement& row) {
            return nlohmann::json{{"q_id", std::to_string(row.integer(0))},
                                  {"read_flag", std::to_string(row.integer(1))},
                                  {"subject", row.text(2)},
                                  {"subject_color", row.text(3)},
                                  {"send_time", TimeText::monthDay(row.text(4))},
                                  {"from_name", row.text(5)},
                                  {"click_count", std::to_string(row.integer(6))},
                                  {"has_attachment", row.integer(7) > 0 ? "1" : "0"}};
        });
        return;
    }
    if (atype != "getNewsContent") {
        HttpSupport::error(res, 400, "unknown ATYPE");
        return;
    }
    const auto id = HttpSupport::requireId(req, res, "Q_ID");
    if (!id) {
        return;
    }
    auto lock = ctx_.db.lock();
    markNewsRead(ctx_.db, user.uid, *id);
    Statement stmt = ctx_.db.query(kNews, *id);
    if (!stmt.step()) {
        HttpSupport::error(res, 404, "no such news");
        return;
    }
    nlohmann::json item{{"q_id", std::to_string(stmt.integer(0))},
                        {"subject", stmt.text(1)},
                        {"subject_color", stmt.text(2)},
                        {"send_time", TimeText::minutes(stmt.text(3))},
                        {"from_name", stmt.text(4)},
                        {"content", stmt.text(5)},
                        {"click_count", std::to_string(stmt.integer(6))},
                        {"read_flag", "1"}};
    AttachmentStore::describe(item, AttachmentStore::of(ctx_.db, "news", *id));
    lock.unlock();
    HttpSupport::json(res, item);
}

void BulletinPages::newsRead(const httplib::Request& req, httplib::Response& res,
                             const SessionUser& user) {
    const auto id = HttpSupport::idField(req, "NEWS_ID");
    if (!id) {
        HttpSupport::htmlError(res, 400, "缺少新闻编号。");
        return;
    }
    auto lock = ctx_.db.lock();
    markNewsRead(ctx_.db, user.uid, *id);
    Statement stmt = ctx_.db.query(kNews, *id);
    if (!stmt.step()) {
        HttpSupport::htmlError(res, 404, "新闻不存在或已被删除。");
        return;
    }
    const std::string page = HtmlPage::readPage(
        stmt.text(1),
        {{"发布人", stmt.text(4)},
         {"发布时间", TimeText::minutes(stmt.text(3))},
         {"点击次数", std::to_string(stmt.integer(6))}},
        stmt.text(5), AttachmentStore::snippets(ctx_.db, "news", *id, user.sessionId),
        stmt.text(2));
    lock.unlock();
    HttpSupport::html(res, page);
}

}  // namespace oa
