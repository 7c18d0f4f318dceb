// Calendar and diary pages.
#include "server/PlannerPages.h"

#include <array>

#include "server/AttachmentStore.h"
#include "server/HtmlPage.h"
#include "server/HttpSupport.h"
#include "server/ListPaging.h"
#include "server/MailPages.h"
#include "server/TimeText.h"

namespace oa {

namespace {

struct Level {
    const char* desc;
    const char* colour;
};

// Priority 0 has no colour, so the client shows no priority label for it.
constexpr std::array<Level, 5> kLevels = {{{"未指定", ""},
                                           {"重要/紧急", "#FF0000"},
                                           {"重要/不紧急", "#FF8C00"},
                                           {"不重要/紧急", "#1E90FF"},
                                           {"不重要/不紧急", "#2E8B57"}}};

// A diary the user may read: their own, or one shared within their department.
constexpr const char* kDiaryOfUser =
    "SELECT d.dia_id, d.subject, d.dia_type, d.dia_date, d.dia_time, d.content, d.uid, "
    "u.user_name FROM diaries d JOIN users u ON u.uid = d.uid WHERE d.dia_id = ?1 AND "
    "(d.uid = ?2 OR (d.shared = 1 AND u.dept_id = (SELECT dept_id FROM users WHERE uid = ?2)))";

const char* diaryKind(std::int64_t type) {
    return type == 2 ? "个人日志" : "工作日志";
}

}  // namespace

void PlannerPages::install(PageRouter& router) {
    using namespace std::placeholders;
    router.page("/mobile/calendar/data.php", "calendar", PageRouter::Reply::text,
                std::bind(&PlannerPages::calendarData, this, _1, _2, _3));
    router.page("/mobile/calendar/submit.php", "calendar", PageRouter::Reply::text,
                std::bind(&PlannerPages::calendarSubmit, this, _1, _2, _3));
    router.page("/mobile/diary/data.php", "diary", PageRouter::Reply::text,
                std::bind(&PlannerPages::diaryData, this, _1, _2, _3));
    router.page("/mobile/diary/read.php", "diary", PageRouter::Reply::html,
                std::bind(&PlannerPages::diaryRead, this, _1, _2, _3));
    router.page("/mobile/diary/submit.php", "diary", PageRouter::Reply::text,
                std::bind(&PlannerPages::diarySubmit, this, _1, _2, _3));
}

void PlannerPages::calendarData(const httplib::Request& req, httplib::Response& res,
                                const SessionUser& user) {
    if (HttpSupport::fieldOr(req, "ATYPE") != "refreshList") {
        HttpSupport::error(res, 400, "unknown ATYPE");
        return;
    }
    const ListQuery query{
        "SELECT cal_id, cal_time, end_time, cal_level, cal_type, content, cal_date FROM calendar "
        "WHERE uid = ?",
        {user.uid},
        "cal_id"};
    ListPaging::reply(req, res, ctx_.db, query, [](const Statement& row) {
        const auto level = static_cast<std::size_t>(std::clamp<std::int64_t>(row.integer(3), 0, 4));
        return nlohmann::json{{"q_id", std::to_string(row.integer(0))},
                              {"cal_time", row.text(1)},
                              {"end_time", row.text(2)},
                              {"cal_level_desc", kLevels[level].desc},
                              {"cal_level_color", kLevels[level].colour},
                              {"cal_type", row.integer(4) == 2 ? "个人事务" : "工作事务"},
                              {"content", row.text(5)},
                              {"cal_date", row.text(6)}};
    });
}

void PlannerPages::calendarSubmit(const httplib::Request& req, httplib::Response& res,
                                  const SessionUser& user) {
    const std::string start = HttpSupport::fieldOr(req, "cal_time");
    const std::string end = HttpSupport::fieldOr(req, "end_time");
    const auto level = HttpSupport::idField(req, "cal_level", "0");
    const std::string type = HttpSupport::fieldOr(req, "cal_type", "1");
    if (!TimeText::isClockTime(start) || !TimeText::isClockTime(end)) {
        HttpSupport::error(res, 400, "cal_time and end_time must be HH:MM");
        return;
    }
    if (!level || *level > 4 || (type != "1" && type != "2")) {
        HttpSupport::error(res, 400, "cal_level must be 0 to 4 and cal_type 1 or 2");
        return;
    }
    const std::string content = HttpSupport::fieldOr(req, "content");
    const std::string qid = HttpSupport::fieldOr(req, "q_id");
    auto lock = ctx_.db.lock();
    std::int64_t id = 0;
    if (qid.empty()) {
        ctx_.db.run(
            "INSERT INTO calendar (uid, cal_date, cal_time, end_time, cal_level, "
            "cal_type, content) VALUES (?, ?, ?, ?, ?, ?, ?)",
            user.uid, TimeText::today(), start, end, *level, type == "2" ? 2 : 1, content);
        id = ctx_.db.lastInsertId();
    } else {
        const auto existing = HttpSupport::parseId(qid);
        if (existing) {
            ctx_.db.run(
                "UPDATE calendar SET cal_time = ?, end_time = ?, cal_level = ?, "
                "cal_type = ?, content = ? WHERE cal_id = ? AND uid = ?",
                start, end, *level, type == "2" ? 2 : 1, content, *existing, user.uid);
        }
        if (!existing || ctx_.db.changes() == 0) {
            HttpSupport::error(res, 404, "no such schedule entry");
            return;
        }
        id = *existing;
    }
    lock.unlock();
    HttpSupport::json(res, {{"status", "OK"}, {"q_id", std::to_string(id)}});
}

void PlannerPages::diaryData(const httplib::Request& req, httplib::Response& res,
                             const SessionUser& user) {
    const std::string atype = HttpSupport::fieldOr(req, "ATYPE");
    if (atype == "getDiaryContent") {
        diaryDetail(req, res, user);
        return;
    }
    if (atype != "refreshList") {
        HttpSupport::error(res, 400, "unknown ATYPE");
        return;
    }
    const std::string kind = HttpSupport::fieldOr(req, "FTYPE", "diary");
    constexpr const char* kColumns =
        "SELECT d.dia_id, d.subject, d.content, (SELECT COUNT(*) FROM item_attachments ia WHERE "
        "ia.module = 'diary' AND ia.item_id = d.dia_id), u.user_name, d.dia_date FROM diaries d "
        "JOIN users u ON u.uid = d.uid ";
    ListQuery query;
    if (kind == "diary") {
        query = {std::string(kColumns) + "WHERE d.uid = ?", {user.uid}, "d.dia_id"};
    } else if (kind == "share") {
        query = {std::string(kColumns) +
                     "WHERE d.shared = 1 AND d.uid <> ? AND u.dept_id = (SELECT dept_id FROM "
                     "users WHERE uid = ?)",
                 {user.uid, user.uid},
                 "d.dia_id"};
    } else {
        HttpSupport::error(res, 400, "FTYPE must be diary or share");
        return;
    }
    ListPaging::reply(req, res, ctx_.db, query, [](const Statement& row) {
        return nlohmann::json{{"q_id", std::to_string(row.integer(0))},
                              {"subject", row.text(1)},
                              {"content", HtmlPage::toPlainText(row.text(2))},
                              {"has_attachment", row.integer(3) > 0 ? "1" : "0"},
                              {"user_name", row.text(4)},
                              {"dia_date", row.text(5)}};
    });
}

void PlannerPages::diaryDetail(const httplib::Request& req, httplib::Response& res,
                               const SessionUser& user) {
    const auto id = HttpSupport::requireId(req, res, "Q_ID");
    if (!id) {
        return;
    }
    auto lock = ctx_.db.lock();
    Statement stmt = ctx_.db.query(kDiaryOfUser, *id, user.uid);
    if (!stmt.step()) {
        HttpSupport::error(res, 404, "no such diary");
        return;
    }
    nlohmann::json item{{"q_id", std::to_string(stmt.integer(0))},
                        {"subject", stmt.text(1)},
                        {"dia_type_desc", diaryKind(stmt.integer(2))},
                        {"dia_date", stmt.text(3)},
                        {"dia_time", stmt.text(4)},
                        {"content", stmt.text(5)},
                        {"editable", stmt.integer(6) == user.uid ? "1" : "0"},
                        {"user_name", stmt.text(7)}};
    AttachmentStore::describe(item, AttachmentStore::of(ctx_.db, "diary", *id));
    lock.unlock();
    HttpSupport::json(res, item);
}

void PlannerPages::diaryRead(const httplib::Request& req, httplib::Response& res,
                             const SessionUser& user) {
    const auto id = HttpSupport::idField(req, "DIA_ID");
    if (!id) {
        HttpSupport::htmlError(res, 400, "缺少日志编号。");
        return;
    }
    auto lock = ctx_.db.lock();
    Statement stmt = ctx_.db.query(kDiaryOfUser, *id, user.uid);
    if (!stmt.step()) {
        HttpSupport::htmlError(res, 404, "日志不存在或未共享。");
        return;
    }
    const std::string attachments =
        AttachmentStore::snippets(ctx_.db, "diary", *id, user.sessionId);
    const std::string page = HtmlPage::readPage(stmt.text(1),
                                                {{"作者", stmt.text(7)},
                                                 {"类型", diaryKind(stmt.integer(2))},
                                                 {"日期", stmt.text(3) + " " + stmt.text(4)}},
                                                stmt.text(5), attachments);
    lock.unlock();
    HttpSupport::html(res, page);
}

void PlannerPages::diarySubmit(const httplib::Request& req, httplib::Response& res,
                               const SessionUser& user) {
    const std::string date = HttpSupport::fieldOr(req, "dia_date", TimeText::today());
    if (!TimeText::isDate(date)) {
        HttpSupport::error(res, 400, "dia_date must be YYYY-MM-DD");
        return;
    }
    const std::string subject = HttpSupport::fieldOr(req, "subject");
    // The kind: "dia_type" ("1" work, "2" personal) when the client sends it; older clients
    // send none, and their editor proposes "<name><date>工作日志" or "...个人日志".
    const std::string kind = HttpSupport::fieldOr(req, "dia_type");
    const std::string desc = HttpSupport::fieldOr(req, "dia_type_desc");
    const auto endsWith = [](const std::string& text, std::string_view tail) {
        return text.size() >= tail.size() &&
               text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
    };
    int type = 1;
    if (!kind.empty()) {
        if (kind != "1" && kind != "2") {
            HttpSupport::error(res, 400, "dia_type must be 1 or 2");
            return;
        }
        type = kind == "2" ? 2 : 1;
    } else if (desc == "2" || desc == "个人日志" ||
               (desc.empty() && endsWith(subject, "个人日志"))) {
        type = 2;
    }
    std::string time = HttpSupport::fieldOr(req, "dia_time");
    if (time.empty()) {
        time = TimeText::now().substr(11);
    }
    const std::string content = HtmlPage::fromPlainText(HttpSupport::fieldOr(req, "content"));
    const auto pictures = MailPages::uploadedPictures(req);
    const std::string qid = HttpSupport::fieldOr(req, "q_id");

    auto lock = ctx_.db.lock();
    Transaction tx(ctx_.db);
    std::int64_t id = 0;
    if (qid.empty()) {
        ctx_.db.run(
            "INSERT INTO diaries (uid, dia_date, dia_time, dia_type, subject, content) "
            "VALUES (?, ?, ?, ?, ?, ?)",
            user.uid, date, time, type, subject.empty() ? "（无标题）" : subject, content);
        id = ctx_.db.lastInsertId();
    } else {
        const auto existing = HttpSupport::parseId(qid);
        if (existing) {
            ctx_.db.run(
                "UPDATE diaries SET dia_date = ?, dia_time = ?, dia_type = ?, "
                "subject = ?, content = ? WHERE dia_id = ? AND uid = ?",
                date, time, type, subject, content, *existing, user.uid);
        }
        if (!existing || ctx_.db.changes() == 0) {
            HttpSupport::error(res, 404, "no such diary of yours");
            return;
        }
        id = *existing;
    }
    for (const UploadedFile& file : pictures) {
        AttachmentStore::link(ctx_.db, "diary", id,
                              AttachmentStore::add(ctx_.db, file.name, file.mime, file.data));
    }
    tx.commit();
    lock.unlock();
    HttpSupport::json(res, {{"status", "OK"}, {"q_id", std::to_string(id)}});
}

}  // namespace oa
