// E-mail pages.
#include "server/MailPages.h"

#include <algorithm>

#include "server/AttachmentStore.h"
#include "server/DocumentMaker.h"
#include "server/HtmlPage.h"
#include "server/HttpSupport.h"
#include "server/ListPaging.h"
#include "server/ReminderPages.h"
#include "server/TimeText.h"

namespace oa {

namespace {

// The e-mail as one of its recipients (or its sender) sees it.
constexpr const char* kEmailOfUser =
    "SELECT e.email_id, e.from_uid, u.user_id, e.is_webmail, e.subject, e.content, "
    "e.send_time, CASE WHEN e.is_webmail = 1 THEN e.webmail ELSE u.user_name END, e.important "
    "FROM emails e JOIN users u ON u.uid = e.from_uid WHERE e.email_id = ?1 AND "
    "(EXISTS (SELECT 1 FROM email_boxes b WHERE b.email_id = e.email_id AND b.uid = ?2) "
    "OR e.from_uid = ?2)";

std::string recipients(Database& db, std::int64_t emailId, const char* kind) {
    Statement stmt = db.query(
        "SELECT u.user_name FROM email_boxes b JOIN users u ON u.uid = b.uid "
        "WHERE b.email_id = ? AND b.kind = ? ORDER BY u.uid",
        emailId, kind);
    std::string names;
    while (stmt.step()) {
        names += (names.empty() ? "" : "，") + stmt.text(0);
    }
    return names;
}

}  // namespace

void MailPages::install(PageRouter& router) {
    using namespace std::placeholders;
    router.page("/mobile/email/data.php", "email", PageRouter::Reply::text,
                std::bind(&MailPages::data, this, _1, _2, _3));
    router.page("/mobile/email/read.php", "email", PageRouter::Reply::html,
                std::bind(&MailPages::read, this, _1, _2, _3));
    router.page("/mobile/email/submit.php", "email", PageRouter::Reply::text,
                std::bind(&MailPages::submit, this, _1, _2, _3));
}

void MailPages::data(const httplib::Request& req, httplib::Response& res, const SessionUser& user) {
    const std::string atype = HttpSupport::fieldOr(req, "ATYPE");
    if (atype == "getEmailContent") {
        detail(req, res, user);
        return;
    }
    if (atype != "refreshList") {
        HttpSupport::error(res, 400, "unknown ATYPE");
        return;
    }
    const ListQuery query{
        "SELECT e.email_id, b.read_flag, e.subject, e.important, e.send_time, "
        "CASE WHEN e.is_webmail = 1 THEN e.webmail ELSE u.user_name END, "
        "(SELECT COUNT(*) FROM item_attachments ia WHERE ia.module = 'email' AND "
        "ia.item_id = e.email_id) FROM email_boxes b JOIN emails e ON e.email_id = b.email_id "
        "JOIN users u ON u.uid = e.from_uid WHERE b.uid = ?",
        {user.uid},
        "e.email_id"};
    ListPaging::reply(req, res, ctx_.db, query, [](const Statement& row) {
        return nlohmann::json{{"q_id", std::to_string(row.integer(0))},
                              {"read_flag", std::to_string(row.integer(1))},
                              {"subject", row.text(2)},
                              {"important_desc", std::to_string(row.integer(3))},
                              {"send_time", TimeText::monthDayClock(row.text(4))},
                              {"from_name", row.text(5)},
                              {"has_attachment", row.integer(6) > 0 ? "1" : "0"}};
    });
}

void MailPages::detail(const httplib::Request& req, httplib::Response& res,
                       const SessionUser& user) {
    const auto id = HttpSupport::requireId(req, res, "Q_ID");
    if (!id) {
        return;
    }
    auto lock = ctx_.db.lock();
    Statement stmt = ctx_.db.query(kEmailOfUser, *id, user.uid);
    if (!stmt.step()) {
        HttpSupport::error(res, 404, "no such e-mail");
        return;
    }
    nlohmann::json item{{"q_id", std::to_string(stmt.integer(0))},
                        {"from_uid", std::to_string(stmt.integer(1))},
                        {"from_user_id", stmt.text(2)},
                        {"is_webmail", std::to_string(stmt.integer(3))},
                        {"subject", stmt.text(4)},
                        {"content", stmt.text(5)},
                        {"send_time", TimeText::minutes(stmt.text(6))},
                        {"from_name", stmt.text(7)}};
    AttachmentStore::describe(item, AttachmentStore::of(ctx_.db, "email", *id));
    ctx_.db.run("UPDATE email_boxes SET read_flag = 1 WHERE email_id = ? AND uid = ?", *id,
                user.uid);
    ReminderPages::settle(ctx_.db, user.uid,
                          "/mobile/email/read.php?EMAIL_ID=" + std::to_string(*id));
    lock.unlock();
    HttpSupport::json(res, item);
}

void MailPages::read(const httplib::Request& req, httplib::Response& res, const SessionUser& user) {
    const auto id = HttpSupport::idField(req, "EMAIL_ID");
    if (!id) {
        HttpSupport::htmlError(res, 400, "缺少邮件编号。");
        return;
    }
    auto lock = ctx_.db.lock();
    Statement stmt = ctx_.db.query(kEmailOfUser, *id, user.uid);
    if (!stmt.step()) {
        HttpSupport::htmlError(res, 404, "邮件不存在或已被删除。");
        return;
    }
    static const char* importance[] = {"", "重要", "非常重要"};
    const auto level = std::clamp<std::int64_t>(stmt.integer(8), 0, 2);
    const std::string attachments =
        AttachmentStore::snippets(ctx_.db, "email", *id, user.sessionId);
    const std::string page = HtmlPage::readPage(stmt.text(4),
                                                {{"发件人", stmt.text(7)},
                                                 {"收件人", recipients(ctx_.db, *id, "to")},
                                                 {"抄送", recipients(ctx_.db, *id, "cs")},
                                                 {"时间", TimeText::minutes(stmt.text(6))},
                                                 {"重要程度", importance[level]}},
                                                stmt.text(5), attachments);
    ctx_.db.run("UPDATE email_boxes SET read_flag = 1 WHERE email_id = ? AND uid = ?", *id,
                user.uid);
    ReminderPages::settle(ctx_.db, user.uid,
                          "/mobile/email/read.php?EMAIL_ID=" + std::to_string(*id));
    lock.unlock();
    HttpSupport::html(res, page);
}

std::vector<UploadedFile> MailPages::uploadedPictures(const httplib::Request& req) {
    std::vector<std::pair<std::int64_t, UploadedFile>> numbered;
    for (const auto& [name, part] : req.files) {
        constexpr std::string_view kPrefix = "uploadedfile_";
        if (name.rfind(kPrefix, 0) != 0) {
            continue;
        }
        const auto number = HttpSupport::parseId(std::string_view(name).substr(kPrefix.size()));
        if (!number) {
            continue;
        }
        std::string fileName = AttachmentStore::uploadName(part.filename);
        if (fileName.empty()) {
            fileName = "uploadedfile" + std::to_string(*number) + ".png";
        }
        numbered.emplace_back(
            *number, UploadedFile{fileName, DocumentMaker::mimeType(fileName), part.content});
    }
    std::sort(numbered.begin(), numbered.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<UploadedFile> files;
    for (auto& [number, file] : numbered) {
        files.push_back(std::move(file));
    }
    return files;
}

void MailPages::submit(const httplib::Request& req, httplib::Response& res,
                       const SessionUser& user) {
    EmailDraft draft;
    draft.fromUid = user.uid;
    {
        auto lock = ctx_.db.lock();
        draft.to = Deliveries::usersByLoginNames(ctx_.db, HttpSupport::fieldOr(req, "to_id"));
        draft.copies = Deliveries::usersByLoginNames(ctx_.db, HttpSupport::fieldOr(req, "cs_id"));
    }
    if (draft.to.empty()) {
        HttpSupport::error(res, 400, "no recipient");
        return;
    }
    draft.subject = HttpSupport::fieldOr(req, "subject");
    if (draft.subject.empty()) {
        draft.subject = "（无主题）";
    }
    draft.contentHtml = HtmlPage::fromPlainText(HttpSupport::fieldOr(req, "content"));
    draft.webmail = HttpSupport::fieldOr(req, "webmail");
    draft.files = uploadedPictures(req);
    const auto id = deliveries_.sendEmail(draft);
    HttpSupport::json(res, {{"status", "OK"}, {"q_id", std::to_string(id)}});
}

}  // namespace oa
