// Storing new items and pushing their notices.
#include "server/Deliveries.h"

#include <algorithm>

#include "server/AttachmentStore.h"
#include "server/HttpSupport.h"
#include "server/TimeText.h"

namespace oa {

namespace {

void addUnique(std::vector<std::int64_t>& out, std::int64_t uid) {
    if (std::find(out.begin(), out.end(), uid) == out.end()) {
        out.push_back(uid);
    }
}

}  // namespace

std::string Deliveries::moduleOfReminder(int smsType) {
    switch (smsType) {
        case 1:
            return "notify";
        case 2:
            return "email";
        case 5:
            return "calendar";
        case 7:
        case 40:
        case 41:
            return "workflow";
        case 13:
            return "diary";
        case 14:
            return "news";
        default:
            return {};
    }
}

std::string Deliveries::reminderText(std::string_view what, std::string_view subject) {
    return "请查看" + std::string(what) + "！标题：" + std::string(subject);
}

std::vector<std::int64_t> Deliveries::usersByLoginNames(Database& db, std::string_view list) {
    std::vector<std::int64_t> out;
    for (const std::string& name : HttpSupport::split(list, ',')) {
        if (name.empty()) {
            continue;
        }
        const auto uid = db.scalar("SELECT uid FROM users WHERE user_id = ?", 0, name);
        if (uid > 0) {
            addUnique(out, uid);
        }
    }
    return out;
}

std::vector<std::int64_t> Deliveries::usersByUids(Database& db, std::string_view list) {
    std::vector<std::int64_t> out;
    for (const std::string& piece : HttpSupport::split(list, ',')) {
        const auto uid = HttpSupport::parseId(piece);
        if (uid && db.scalar("SELECT COUNT(*) FROM users WHERE uid = ?", 0, *uid) > 0) {
            addUnique(out, *uid);
        }
    }
    return out;
}

std::vector<std::int64_t> Deliveries::usersWithModule(std::string_view module) {
    std::vector<std::int64_t> out;
    Statement stmt = db_.query(
        "SELECT uid FROM users WHERE ',' || func_str || ',' LIKE '%,' || ? || ',%' ORDER BY uid",
        module);
    while (stmt.step()) {
        out.push_back(stmt.integer(0));
    }
    return out;
}

std::int64_t Deliveries::insertReminder(std::int64_t toUid, std::int64_t fromUid, int smsType,
                                        const std::string& content, const std::string& url,
                                        const std::string& time) {
    db_.run(
        "INSERT INTO reminders (to_uid, from_uid, sms_type, content, sms_url, time) "
        "VALUES (?, ?, ?, ?, ?, ?)",
        toUid, fromUid, smsType, content, url, time);
    const std::int64_t id = db_.lastInsertId();
    if (url.empty()) {
        db_.run("UPDATE reminders SET sms_url = ? WHERE sms_id = ?",
                "/mobile/sms/show.php?SMS_ID=" + std::to_string(id), id);
    }
    return id;
}

void Deliveries::remindUsersWithModule(const std::string& module, std::int64_t fromUid, int smsType,
                                       std::string_view what, std::string_view subject,
                                       const std::string& url, const std::string& time,
                                       Pushes& pushes) {
    for (auto uid : usersWithModule(module)) {
        insertReminder(uid, fromUid, smsType, reminderText(what, subject), url, time);
        pushes.emplace_back(uid, "n^" + module);
    }
}

void Deliveries::flush(const Pushes& pushes) {
    for (const auto& [uid, text] : pushes) {
        pushes_.push(uid, text);
    }
}

std::int64_t Deliveries::storeAndPush(
    const std::function<std::int64_t(const std::string& now, Pushes& pushes)>& work) {
    Pushes pushes;
    std::int64_t id = 0;
    {
        auto lock = db_.lock();
        Transaction tx(db_);
        id = work(TimeText::now(), pushes);
        tx.commit();
    }
    flush(pushes);
    return id;
}

std::int64_t Deliveries::sendEmail(const EmailDraft& draft) {
    return storeAndPush([&](const std::string& now, Pushes& pushes) {
        db_.run(
            "INSERT INTO emails (from_uid, subject, content, important, is_webmail, webmail, "
            "send_time) VALUES (?, ?, ?, ?, 0, ?, ?)",
            draft.fromUid, draft.subject, draft.contentHtml, draft.important, draft.webmail, now);
        const std::int64_t id = db_.lastInsertId();
        std::vector<std::pair<std::int64_t, const char*>> boxes;
        for (auto uid : draft.to) {
            boxes.emplace_back(uid, "to");
        }
        for (auto uid : draft.copies) {
            if (std::find(draft.to.begin(), draft.to.end(), uid) == draft.to.end()) {
                boxes.emplace_back(uid, "cs");
            }
        }
        for (const auto& [uid, kind] : boxes) {
            db_.run("INSERT OR IGNORE INTO email_boxes (email_id, uid, kind) VALUES (?, ?, ?)", id,
                    uid, kind);
            insertReminder(uid, draft.fromUid, 2, reminderText("我的邮件", draft.subject),
                           "/mobile/email/read.php?EMAIL_ID=" + std::to_string(id), now);
            pushes.emplace_back(uid, "n^email");
        }
        for (const UploadedFile& file : draft.files) {
            AttachmentStore::link(db_, "email", id,
                                  AttachmentStore::add(db_, file.name, file.mime, file.data));
        }
        return id;
    });
}

std::int64_t Deliveries::postNotice(std::int64_t fromUid, const std::string& typeName,
                                    const std::string& subject, const std::string& colour, bool top,
                                    const std::string& contentHtml) {
    return storeAndPush([&](const std::string& now, Pushes& pushes) {
        db_.run(
            "INSERT INTO notices (from_uid, type_name, subject, subject_color, top, content, "
            "send_time, begin_date) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
            fromUid, typeName, subject, colour, top ? 1 : 0, contentHtml, now, TimeText::date(now));
        const std::int64_t id = db_.lastInsertId();
        remindUsersWithModule("notify", fromUid, 1, "公告通知", subject,
                              "/mobile/notify/read.php?NOTIFY_ID=" + std::to_string(id), now,
                              pushes);
        return id;
    });
}

std::int64_t Deliveries::postNews(std::int64_t fromUid, const std::string& subject,
                                  const std::string& colour, const std::string& contentHtml) {
    return storeAndPush([&](const std::string& now, Pushes& pushes) {
        db_.run(
            "INSERT INTO news (from_uid, subject, subject_color, content, send_time) "
            "VALUES (?, ?, ?, ?, ?)",
            fromUid, subject, colour, contentHtml, now);
        const std::int64_t id = db_.lastInsertId();
        remindUsersWithModule("news", fromUid, 14, "内部新闻", subject,
                              "/mobile/news/read.php?NEWS_ID=" + std::to_string(id), now, pushes);
        return id;
    });
}

std::int64_t Deliveries::addReminder(std::int64_t toUid, std::int64_t fromUid, int smsType,
                                     const std::string& content, const std::string& url) {
    std::int64_t id = 0;
    {
        auto lock = db_.lock();
        id = insertReminder(toUid, fromUid, smsType, content, url, TimeText::now());
    }
    const std::string module = moduleOfReminder(smsType);
    if (!module.empty()) {
        pushes_.push(toUid, "n^" + module);
    }
    return id;
}

std::vector<std::int64_t> Deliveries::sendMessage(std::int64_t fromUid,
                                                  const std::vector<std::int64_t>& toUids,
                                                  const std::string& text) {
    std::vector<std::int64_t> ids;
    {
        auto lock = db_.lock();
        Transaction tx(db_);
        const std::string now = TimeText::now();
        for (auto to : toUids) {
            db_.run(
                "INSERT INTO messages (from_uid, to_uid, content, send_time) "
                "VALUES (?, ?, ?, ?)",
                fromUid, to, text, now);
            ids.push_back(db_.lastInsertId());
        }
        tx.commit();
    }
    for (auto to : toUids) {
        pushes_.push(to, "n^message");
    }
    return ids;
}

std::vector<std::int64_t> Deliveries::sendVoice(std::int64_t fromUid,
                                                const std::vector<std::int64_t>& toUids,
                                                const std::string& amr, int seconds) {
    std::vector<std::int64_t> ids;
    {
        auto lock = db_.lock();
        Transaction tx(db_);
        const std::string now = TimeText::now();
        const auto attachId = AttachmentStore::add(db_, "voice.amr", "audio/amr", amr);
        // The client stores the file under this name and converts it by an ASCII path.
        const std::string name = "voice_" + std::to_string(attachId) + ".amr";
        db_.run("UPDATE attachments SET name = ? WHERE attach_id = ?", name, attachId);
        for (auto to : toUids) {
            db_.run(
                "INSERT INTO messages (from_uid, to_uid, content, send_time, is_voice, "
                "attach_id, duration) VALUES (?, ?, ?, ?, 1, ?, ?)",
                fromUid, to, "[语音] " + std::to_string(seconds) + "秒", now, attachId, seconds);
            ids.push_back(db_.lastInsertId());
        }
        if (!ids.empty()) {
            AttachmentStore::link(db_, "message", ids.front(), attachId);
        }
        tx.commit();
    }
    for (auto to : toUids) {
        pushes_.push(to, "n^message");
    }
    return ids;
}

}  // namespace oa
