// Attachment storage and links.
#include "server/AttachmentStore.h"

#include "core/platform/Utf8.h"
#include "server/DocumentMaker.h"
#include "server/HtmlPage.h"
#include "server/HttpSupport.h"
#include "server/TimeText.h"

namespace oa {

std::string AttachmentStore::uploadName(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    std::string_view rest = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::string name;
    while (!rest.empty()) {
        const std::size_t length = utf8SequenceLength(rest);
        if (length == 0) {
            // One "_" for the broken sequence: its first byte and the continuation bytes after.
            name += '_';
            rest.remove_prefix(1);
            while (!rest.empty() && (static_cast<unsigned char>(rest.front()) & 0xC0) == 0x80) {
                rest.remove_prefix(1);
            }
            continue;
        }
        const auto c = static_cast<unsigned char>(rest.front());
        if (length == 1 && (c < 0x20 || c == 0x7F || c == '*')) {
            name += '_';
        } else {
            name.append(rest.substr(0, length));
        }
        rest.remove_prefix(length);
    }
    if (name.size() > kMaxNameBytes) {
        std::size_t start = name.size() - kMaxNameBytes;
        while (start < name.size() && (static_cast<unsigned char>(name[start]) & 0xC0) == 0x80) {
            ++start;
        }
        name.erase(0, start);
    }
    return name;
}

std::int64_t AttachmentStore::add(Database& db, const std::string& name, const std::string& mime,
                                  std::string_view data) {
    Statement stmt =
        db.prepare("INSERT INTO attachments (name, mime, data, created) VALUES (?, ?, ?, ?)");
    stmt.bind(1, name).bind(2, mime).bindBlob(3, data).bind(4, TimeText::now());
    stmt.run();
    return db.lastInsertId();
}

void AttachmentStore::link(Database& db, std::string_view module, std::int64_t itemId,
                           std::int64_t attachId) {
    const auto pos = db.scalar(
        "SELECT COALESCE(MAX(pos), -1) + 1 FROM item_attachments WHERE module = ? AND item_id = ?",
        0, module, itemId);
    db.run(
        "INSERT OR IGNORE INTO item_attachments (module, item_id, attach_id, pos) "
        "VALUES (?, ?, ?, ?)",
        module, itemId, attachId, pos);
}

std::vector<AttachmentRef> AttachmentStore::of(Database& db, std::string_view module,
                                               std::int64_t itemId) {
    Statement stmt = db.query(
        "SELECT a.attach_id, a.name FROM item_attachments ia JOIN attachments a "
        "ON a.attach_id = ia.attach_id WHERE ia.module = ? AND ia.item_id = ? ORDER BY ia.pos",
        module, itemId);
    std::vector<AttachmentRef> refs;
    while (stmt.step()) {
        refs.push_back({stmt.integer(0), stmt.text(1)});
    }
    return refs;
}

void AttachmentStore::describe(nlohmann::json& item, const std::vector<AttachmentRef>& refs) {
    std::string ids, names;
    for (const AttachmentRef& ref : refs) {
        ids += std::to_string(ref.id) + ",";
        names += ref.name + "*";
    }
    item["has_attachment"] = refs.empty() ? "0" : "1";
    item["attachment_id"] = ids;
    item["attachment_name"] = names;
}

bool AttachmentStore::visibleTo(Database& db, std::int64_t attachId, std::int64_t uid) {
    return db.scalar(
               "SELECT COUNT(*) FROM item_attachments ia WHERE ia.attach_id = ?1 AND ("
               " (ia.module = 'email' AND (EXISTS (SELECT 1 FROM email_boxes b"
               "   WHERE b.email_id = ia.item_id AND b.uid = ?2) OR EXISTS (SELECT 1 FROM emails e"
               "   WHERE e.email_id = ia.item_id AND e.from_uid = ?2)))"
               " OR ia.module IN ('notify', 'news')"
               " OR (ia.module = 'diary' AND EXISTS (SELECT 1 FROM diaries d"
               "   WHERE d.dia_id = ia.item_id AND (d.uid = ?2 OR (d.shared = 1 AND"
               "   (SELECT dept_id FROM users WHERE uid = d.uid) ="
               "   (SELECT dept_id FROM users WHERE uid = ?2)))))"
               " OR (ia.module = 'file' AND EXISTS (SELECT 1 FROM files f"
               "   WHERE f.file_id = ia.item_id AND (f.owner_uid IS NULL OR f.owner_uid = ?2)))"
               " OR (ia.module = 'message' AND EXISTS (SELECT 1 FROM messages m"
               "   WHERE m.attach_id = ia.attach_id AND (m.from_uid = ?2 OR m.to_uid = ?2))))",
               0, attachId, uid) > 0;
}

std::optional<StoredFile> AttachmentStore::load(Database& db, std::int64_t attachId) {
    Statement stmt = db.query(
        "SELECT attach_id, name, mime, data FROM attachments WHERE attach_id = ?", attachId);
    if (!stmt.step()) {
        return std::nullopt;
    }
    return StoredFile{stmt.integer(0), stmt.text(1), stmt.text(2), stmt.blob(3)};
}

std::optional<StoredFile> AttachmentStore::loadVisible(Database& db, std::int64_t attachId,
                                                       const std::string& name, std::int64_t uid) {
    auto file = load(db, attachId);
    if (!file || file->name != name || !visibleTo(db, attachId, uid)) {
        return std::nullopt;
    }
    return file;
}

int AttachmentStore::category(const std::string& name) {
    const std::string ext = DocumentMaker::extension(name);
    return (ext == "png" || ext == "jpg" || ext == "jpeg" || ext == "gif") ? 1 : 0;
}

std::string AttachmentStore::downloadPath(const std::string& sessionId, const AttachmentRef& ref) {
    return "/mobile/inc/attach_file.php?P=" + HttpSupport::urlEncode(sessionId) +
           "&ATTACHMENT_ID=" + std::to_string(ref.id) +
           "&ATTACHMENT_NAME=" + HttpSupport::urlEncode(ref.name);
}

std::string AttachmentStore::snippet(const std::string& sessionId, const AttachmentRef& ref) {
    const int cat = category(ref.name);
    const std::string path = downloadPath(sessionId, ref);
    std::string html = "<div class=\"attach\"><a href=\"message:" + std::to_string(cat) + ":" +
                       HtmlPage::escape(path) + "\">" + (cat == 1 ? "[图片] " : "[附件] ") +
                       HtmlPage::escape(ref.name) + "</a>";
    if (cat == 1) {
        html += "<img src=\"" + HtmlPage::escape(path) + "\" alt=\"" + HtmlPage::escape(ref.name) +
                "\">";
    }
    html += "</div>";
    return html;
}

std::string AttachmentStore::snippets(Database& db, std::string_view module, std::int64_t itemId,
                                      const std::string& sessionId) {
    std::string html;
    for (const AttachmentRef& ref : of(db, module, itemId)) {
        html += snippet(sessionId, ref);
    }
    return html;
}

}  // namespace oa
