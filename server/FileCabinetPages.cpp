// File cabinet pages.
#include "server/FileCabinetPages.h"

#include "server/AttachmentStore.h"
#include "server/HtmlPage.h"
#include "server/HttpSupport.h"
#include "server/ListPaging.h"
#include "server/TimeText.h"

namespace oa {

namespace {

constexpr const char* kColumns =
    "SELECT f.file_id, f.is_folder, f.name, f.file_ext, f.send_time, (SELECT COUNT(*) FROM "
    "item_attachments ia WHERE ia.module = 'file' AND ia.item_id = f.file_id), f.parent_id, "
    "f.content, f.owner_uid FROM files f ";

nlohmann::json entry(const Statement& row) {
    return nlohmann::json{{"q_id", std::to_string(row.integer(0))},
                          {"file_type", row.integer(1) ? "folder" : "file"},
                          {"name", row.text(2)},
                          {"file_ext", row.text(3)},
                          {"send_time", TimeText::minutes(row.text(4))},
                          {"has_attachment", row.integer(5) > 0 ? "1" : "0"},
                          {"now_sort", std::to_string(row.integer(0))},
                          {"parent_sort", std::to_string(row.integer(6))}};
}

// The id of a detail or folder request: "P_ID" for the public cabinet, "Q_ID" for the personal
// one; either is accepted, since the item itself says which cabinet it is in.
std::optional<std::int64_t> itemId(const httplib::Request& req) {
    if (auto p = HttpSupport::field(req, "P_ID")) {
        return HttpSupport::parseId(*p);
    }
    return HttpSupport::idField(req, "Q_ID");
}

// Whether the row (selected with kColumns) is in a cabinet the user may open.
bool mayOpen(const Statement& row, const SessionUser& user) {
    if (row.isNull(8)) {
        return user.mayUse("public_folder");
    }
    return row.integer(8) == user.uid && user.mayUse("file_folder");
}

}  // namespace

void FileCabinetPages::install(PageRouter& router) {
    using namespace std::placeholders;
    // Module grants are checked per cabinet inside the handlers.
    router.page("/mobile/file_folder/data.php", "", PageRouter::Reply::text,
                std::bind(&FileCabinetPages::data, this, _1, _2, _3));
    router.page("/mobile/file_folder/read.php", "", PageRouter::Reply::html,
                std::bind(&FileCabinetPages::read, this, _1, _2, _3));
}

void FileCabinetPages::data(const httplib::Request& req, httplib::Response& res,
                            const SessionUser& user) {
    const std::string atype = HttpSupport::fieldOr(req, "ATYPE");
    if (atype == "getListContent") {
        folder(req, res, user);
        return;
    }
    if (atype == "getFileContent") {
        detail(req, res, user);
        return;
    }
    if (atype != "refreshList") {
        HttpSupport::error(res, 400, "unknown ATYPE");
        return;
    }
    const std::string kind = HttpSupport::fieldOr(req, "FTYPE", "personal");
    ListQuery query;
    if (kind == "personal" && user.mayUse("file_folder")) {
        query = {std::string(kColumns) + "WHERE f.parent_id = 0 AND f.owner_uid = ?",
                 {user.uid},
                 "f.file_id"};
    } else if (kind == "public" && user.mayUse("public_folder")) {
        query = {std::string(kColumns) + "WHERE f.parent_id = 0 AND f.owner_uid IS NULL",
                 {},
                 "f.file_id"};
    } else if (kind == "personal" || kind == "public") {
        HttpSupport::error(res, 403, "no permission for this cabinet");
        return;
    } else {
        HttpSupport::error(res, 400, "FTYPE must be personal or public");
        return;
    }
    ListPaging::reply(req, res, ctx_.db, query, entry);
}

void FileCabinetPages::folder(const httplib::Request& req, httplib::Response& res,
                              const SessionUser& user) {
    const auto id = itemId(req);
    if (!id) {
        HttpSupport::error(res, 400, "folder id must be a number");
        return;
    }
    auto lock = ctx_.db.lock();
    Statement self = ctx_.db.query(std::string(kColumns) + "WHERE f.file_id = ?", *id);
    if (!self.step() || !self.integer(1) || !mayOpen(self, user)) {
        HttpSupport::error(res, 404, "no such folder");
        return;
    }
    Statement stmt = ctx_.db.query(std::string(kColumns) +
                                       "WHERE f.parent_id = ? ORDER BY f.is_folder DESC, "
                                       "f.file_id DESC",
                                   *id);
    nlohmann::json items = nlohmann::json::array();
    while (stmt.step()) {
        items.push_back(entry(stmt));
    }
    lock.unlock();
    HttpSupport::json(res, items);
}

void FileCabinetPages::detail(const httplib::Request& req, httplib::Response& res,
                              const SessionUser& user) {
    const auto id = itemId(req);
    if (!id) {
        HttpSupport::error(res, 400, "file id must be a number");
        return;
    }
    auto lock = ctx_.db.lock();
    Statement stmt = ctx_.db.query(std::string(kColumns) + "WHERE f.file_id = ?", *id);
    if (!stmt.step() || !mayOpen(stmt, user)) {
        HttpSupport::error(res, 404, "no such file");
        return;
    }
    nlohmann::json item{{"q_id", std::to_string(stmt.integer(0))},
                        {"subject", stmt.text(2)},
                        {"send_time", TimeText::minutes(stmt.text(4))},
                        {"content", stmt.text(7)}};
    AttachmentStore::describe(item, AttachmentStore::of(ctx_.db, "file", *id));
    lock.unlock();
    // File details are an array of one object.
    HttpSupport::json(res, nlohmann::json::array({item}));
}

void FileCabinetPages::read(const httplib::Request& req, httplib::Response& res,
                            const SessionUser& user) {
    const auto id = HttpSupport::idField(req, "CONTENT_ID");
    if (!id) {
        HttpSupport::htmlError(res, 400, "缺少文件编号。");
        return;
    }
    auto lock = ctx_.db.lock();
    Statement stmt = ctx_.db.query(std::string(kColumns) + "WHERE f.file_id = ?", *id);
    if (!stmt.step() || !mayOpen(stmt, user)) {
        HttpSupport::htmlError(res, 404, "文件不存在或无权查看。");
        return;
    }
    const std::string attachments = AttachmentStore::snippets(ctx_.db, "file", *id, user.sessionId);
    const std::string page =
        HtmlPage::readPage(stmt.text(2),
                           {{"文件柜", stmt.isNull(8) ? "公共文件柜" : "个人文件柜"},
                            {"时间", TimeText::minutes(stmt.text(4))}},
                           stmt.text(7), attachments);
    lock.unlock();
    HttpSupport::html(res, page);
}

}  // namespace oa
