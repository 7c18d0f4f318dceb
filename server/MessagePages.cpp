// Instant-message pages.
#include "server/MessagePages.h"

#include "server/AttachmentStore.h"
#include "server/HttpSupport.h"
#include "server/TimeText.h"
#include "server/VoiceSynth.h"

namespace oa {

namespace {

// The avatar of a person in lists: "0" or "1" (the app's own pictures), or for people with a
// photo a server path to which the client appends "&P=<session>".
std::string listAvatar(std::int64_t uid, std::int64_t sex, bool photo) {
    return photo ? "/mobile/inc/avatar.php?UID=" + std::to_string(uid) : std::to_string(sex);
}

constexpr const char* kMessageColumns =
    "SELECT m.msg_id, m.from_uid, u.user_name, u.sex, m.send_time, m.content, m.is_voice, "
    "m.attach_id, COALESCE(a.name, ''), m.duration FROM messages m JOIN users u ON u.uid = "
    "m.from_uid LEFT JOIN attachments a ON a.attach_id = m.attach_id ";

nlohmann::json message(const Statement& row, std::int64_t me) {
    const bool voice = row.integer(6) != 0;
    return nlohmann::json{{"q_id", std::to_string(row.integer(0))},
                          {"q_uid", std::to_string(row.integer(1))},
                          {"q_name", row.text(2)},
                          {"avatar", std::to_string(row.integer(3))},
                          {"send_time", TimeText::minutes(row.text(4))},
                          {"content", row.text(5)},
                          {"msg_from", row.integer(1) == me ? "1" : "0"},
                          {"msg_type_name", voice ? "语音消息" : "文本消息"},
                          {"isvoicemsg", voice ? "1" : "0"},
                          {"attachment_id", voice ? std::to_string(row.integer(7)) : ""},
                          {"attachment_name", row.text(8)},
                          {"duration", std::to_string(row.integer(9))}};
}

}  // namespace

void MessagePages::install(PageRouter& router) {
    using namespace std::placeholders;
    router.page("/mobile/message/data.php", "", PageRouter::Reply::text,
                std::bind(&MessagePages::data, this, _1, _2, _3));
    router.page("/corvane/im/upload.php", "", PageRouter::Reply::text,
                std::bind(&MessagePages::uploadVoice, this, _1, _2, _3));
    router.page("/corvane/im/down.php", "", PageRouter::Reply::text,
                std::bind(&MessagePages::downloadVoice, this, _1, _2, _3));
}

void MessagePages::data(const httplib::Request& req, httplib::Response& res,
                        const SessionUser& user) {
    const std::string atype = HttpSupport::fieldOr(req, "ATYPE");
    if (atype == "refreshList") {
        const std::string action = HttpSupport::fieldOr(req, "A", "loadList");
        if (action != "loadList") {
            HttpSupport::error(res, 400, "unknown list action");
            return;
        }
        conversations(res, user);
    } else if (atype == "getDialogList") {
        dialog(req, res, user);
    } else if (atype == "sendSignleMsg") {
        sendOne(req, res, user);
    } else if (atype == "mutiSend") {
        sendMany(req, res, user);
    } else if (atype == "getSingleNewMsg") {
        newest(req, res, user);
    } else {
        HttpSupport::error(res, 400, "unknown ATYPE");
    }
}

void MessagePages::conversations(httplib::Response& res, const SessionUser& user) {
    struct Row {
        std::int64_t partner;
        nlohmann::json item;
    };
    std::vector<Row> rows;
    {
        auto lock = ctx_.db.lock();
        Statement stmt = ctx_.db.query(
            "WITH mine AS (SELECT msg_id, CASE WHEN from_uid = ?1 THEN to_uid ELSE from_uid END "
            "AS partner, content, send_time FROM messages WHERE from_uid = ?1 OR to_uid = ?1) "
            "SELECT m.partner, u.user_name, u.sex, u.has_photo, m.content, m.send_time, "
            "(SELECT COUNT(*) FROM messages x WHERE x.from_uid = m.partner AND x.to_uid = ?1 AND "
            "x.read_flag = 0) FROM mine m JOIN users u ON u.uid = m.partner WHERE m.msg_id = "
            "(SELECT MAX(msg_id) FROM mine m2 WHERE m2.partner = m.partner) ORDER BY m.msg_id "
            "DESC",
            user.uid);
        while (stmt.step()) {
            const auto unread = stmt.integer(6);
            rows.push_back(
                {stmt.integer(0),
                 {{"q_id", std::to_string(stmt.integer(0))},
                  {"q_name", stmt.text(1)},
                  {"avatar", listAvatar(stmt.integer(0), stmt.integer(2), stmt.integer(3) != 0)},
                  {"send_time", TimeText::monthDayClock(stmt.text(5))},
                  {"read_flag", unread > 0 ? "0" : "1"},
                  {"content", stmt.text(4)},
                  {"unread_num", std::to_string(unread)}}});
        }
    }
    nlohmann::json list = nlohmann::json::array();
    for (Row& row : rows) {
        row.item["online"] = ctx_.pushes.isOnline(row.partner) ? "1" : "0";
        list.push_back(std::move(row.item));
    }
    HttpSupport::json(res, list);
}

void MessagePages::dialog(const httplib::Request& req, httplib::Response& res,
                          const SessionUser& user) {
    const auto partner = HttpSupport::requireId(req, res, "Q_ID");
    if (!partner) {
        return;
    }
    auto lock = ctx_.db.lock();
    if (ctx_.db.scalar("SELECT COUNT(*) FROM users WHERE uid = ?", 0, *partner) == 0) {
        HttpSupport::error(res, 404, "no such user");
        return;
    }
    Statement stmt = ctx_.db.query(
        std::string(kMessageColumns) +
            "WHERE (m.from_uid = ?1 AND m.to_uid = ?2) OR (m.from_uid = ?2 AND m.to_uid = ?1) "
            "ORDER BY m.msg_id DESC LIMIT " +
            std::to_string(kDialogLength),
        user.uid, *partner);
    nlohmann::json list = nlohmann::json::array();
    while (stmt.step()) {
        list.push_back(message(stmt, user.uid));
    }
    ctx_.db.run(
        "UPDATE messages SET read_flag = 1 WHERE from_uid = ? AND to_uid = ? AND "
        "read_flag = 0",
        *partner, user.uid);
    lock.unlock();
    HttpSupport::json(res, list);
}

bool MessagePages::acceptText(const std::string& text, httplib::Response& res) {
    if (text.empty()) {
        HttpSupport::error(res, 400, "empty message");
        return false;
    }
    if (text.size() > kMaxTextBytes) {
        HttpSupport::error(res, 413,
                           "message longer than " + std::to_string(kMaxTextBytes) + " bytes");
        return false;
    }
    return true;
}

void MessagePages::sendOne(const httplib::Request& req, httplib::Response& res,
                           const SessionUser& user) {
    const std::string text = HttpSupport::fieldOr(req, "CONTENT");
    std::vector<std::int64_t> to;
    {
        auto lock = ctx_.db.lock();
        to = Deliveries::usersByUids(ctx_.db, HttpSupport::fieldOr(req, "Q_UID"));
    }
    if (to.size() != 1 || to.front() == user.uid) {
        HttpSupport::error(res, 400, "Q_UID must name one other user");
        return;
    }
    if (!acceptText(text, res)) {
        return;
    }
    const auto ids = deliveries_.sendMessage(user.uid, to, text);
    HttpSupport::json(res, {{"status", "OK"}, {"q_id", std::to_string(ids.front())}});
}

void MessagePages::sendMany(const httplib::Request& req, httplib::Response& res,
                            const SessionUser& user) {
    const std::string text = HttpSupport::fieldOr(req, "CONTENT");
    std::vector<std::int64_t> to;
    {
        auto lock = ctx_.db.lock();
        to = Deliveries::usersByUids(ctx_.db, HttpSupport::fieldOr(req, "TO_UID"));
    }
    std::erase(to, user.uid);
    if (to.empty()) {
        HttpSupport::error(res, 400, "TO_UID names no other user");
        return;
    }
    if (!acceptText(text, res)) {
        return;
    }
    deliveries_.sendMessage(user.uid, to, text);
    HttpSupport::json(res, {{"status", "OK"}, {"count", std::to_string(to.size())}});
}

void MessagePages::newest(const httplib::Request& req, httplib::Response& res,
                          const SessionUser& user) {
    // The client names itself; someone else's messages are not handed out.
    const auto uid = HttpSupport::idField(req, "Q_ID");
    if (!uid || *uid != user.uid) {
        HttpSupport::error(res, 403, "Q_ID must be the signed-in user");
        return;
    }
    auto lock = ctx_.db.lock();
    Statement stmt = ctx_.db.query(std::string(kMessageColumns) +
                                       "WHERE m.to_uid = ? AND m.read_flag = 0 "
                                       "ORDER BY m.msg_id DESC LIMIT 1",
                                   user.uid);
    if (!stmt.step()) {
        lock.unlock();
        HttpSupport::text(res, "NONEWDATA");
        return;
    }
    nlohmann::json item = message(stmt, user.uid);
    lock.unlock();
    for (const char* voiceKey : {"isvoicemsg", "attachment_id", "attachment_name", "duration"}) {
        item.erase(voiceKey);
    }
    HttpSupport::json(res, item);
}

void MessagePages::uploadVoice(const httplib::Request& req, httplib::Response& res,
                               const SessionUser& user) {
    const auto file = HttpSupport::filePart(req, "ATTACHMENT");
    if (!file) {
        HttpSupport::error(res, 400, "ATTACHMENT file part missing");
        return;
    }
    if (file->content.size() > kMaxVoiceBytes) {
        HttpSupport::error(res, 413, "voice file larger than 1 MB");
        return;
    }
    if (!VoiceSynth::looksLikeAmr(file->content)) {
        HttpSupport::error(res, 415, "ATTACHMENT is not an AMR file");
        return;
    }
    const auto ms = HttpSupport::idField(req, "DURATION");
    if (!ms) {
        HttpSupport::error(res, 400, "DURATION must be a number of milliseconds");
        return;
    }
    std::vector<std::int64_t> to;
    {
        auto lock = ctx_.db.lock();
        to = Deliveries::usersByUids(ctx_.db, HttpSupport::fieldOr(req, "DEST_UID"));
    }
    std::erase(to, user.uid);
    if (to.empty()) {
        HttpSupport::error(res, 400, "DEST_UID names no other user");
        return;
    }
    // The client sends whole seconds; a recording under one second arrives as 0, and then the
    // file itself tells the length.
    long long seconds = *ms / 1000;
    if (seconds == 0) {
        seconds = (VoiceSynth::durationMs(file->content) + 999) / 1000;
    }
    const auto ids = deliveries_.sendVoice(user.uid, to, file->content,
                                           static_cast<int>(std::min(seconds, 3600LL)));
    HttpSupport::json(res, {{"status", "OK"}, {"q_id", std::to_string(ids.front())}});
}

void MessagePages::downloadVoice(const httplib::Request& req, httplib::Response& res,
                                 const SessionUser& user) {
    const auto id = HttpSupport::requireId(req, res, "ATTACHMENT_ID");
    if (!id) {
        return;
    }
    const std::string name = HttpSupport::fieldOr(req, "ATTACHMENT_NAME");
    auto lock = ctx_.db.lock();
    auto file = AttachmentStore::loadVisible(ctx_.db, *id, name, user.uid);
    if (!file) {
        HttpSupport::error(res, 404, "no such voice file");
        return;
    }
    lock.unlock();
    res.status = 200;
    res.set_header("Content-Disposition", "attachment; filename=\"" + file->name + "\"");
    res.set_content(std::move(file->data), file->mime);
}

}  // namespace oa
