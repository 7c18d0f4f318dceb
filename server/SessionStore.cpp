// Accounts and sessions.
#include "server/SessionStore.h"

#include <random>

#include "server/HttpSupport.h"
#include "server/TimeText.h"

namespace oa {

namespace {

std::string newSessionId() {
    static const char* alphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::random_device device;
    std::string id;
    for (int i = 0; i < 26; ++i) {
        id += alphabet[device() % 36];
    }
    return id;
}

// Constant-time comparison, so that the reply time does not reveal how much of a password
// matched.
bool sameText(const std::string& a, const std::string& b) {
    unsigned diff = a.size() == b.size() ? 0u : 1u;
    for (std::size_t i = 0; i < a.size(); ++i) {
        diff |= static_cast<unsigned char>(a[i]) ^
                static_cast<unsigned char>(i < b.size() ? b[i] : ~a[i]);
    }
    return diff == 0;
}

}  // namespace

bool SessionUser::mayUse(std::string_view module) const {
    if (module == "user" || module == "weather") {
        return true;
    }
    for (const std::string& key : HttpSupport::split(funcStr, ',')) {
        if (key == module) {
            return true;
        }
    }
    return false;
}

std::optional<std::int64_t> SessionStore::checkPassword(const std::string& userId,
                                                        const std::string& password) {
    if (userId.empty() || password.empty()) {
        return std::nullopt;
    }
    auto lock = db_.lock();
    Statement stmt = db_.query("SELECT uid, password FROM users WHERE user_id = ?", userId);
    if (!stmt.step() || !sameText(stmt.text(1), password)) {
        return std::nullopt;
    }
    return stmt.integer(0);
}

std::optional<SessionUser> SessionStore::signIn(const std::string& userId,
                                                const std::string& password) {
    const auto uid = checkPassword(userId, password);
    if (!uid) {
        return std::nullopt;
    }
    std::string sessionId = newSessionId();
    {
        auto lock = db_.lock();
        const std::string now = TimeText::now();
        db_.run("INSERT INTO sessions (session_id, uid, created, last_seen) VALUES (?, ?, ?, ?)",
                sessionId, *uid, now, now);
        db_.run("UPDATE users SET last_online = ? WHERE uid = ?", now, *uid);
    }
    return find(sessionId);
}

std::optional<SessionUser> SessionStore::find(const std::string& sessionId) {
    if (sessionId.empty() || sessionId.size() > 64) {
        return std::nullopt;
    }
    auto lock = db_.lock();
    Statement stmt = db_.query(
        "SELECT u.uid, u.user_id, u.user_name, u.func_str, s.last_seen FROM sessions s "
        "JOIN users u ON u.uid = s.uid WHERE s.session_id = ?",
        sessionId);
    if (!stmt.step()) {
        return std::nullopt;
    }
    SessionUser user{stmt.integer(0), sessionId, stmt.text(1), stmt.text(2), stmt.text(3)};
    const std::string now = TimeText::now();
    // Writing on every request would serialise readers on the disk; once a minute is enough.
    if (TimeText::secondsBetween(stmt.text(4), now) >= 60) {
        db_.run("UPDATE sessions SET last_seen = ? WHERE session_id = ?", now, sessionId);
    }
    return user;
}

std::optional<SessionUser> SessionStore::authenticate(const httplib::Request& req) {
    if (auto p = HttpSupport::field(req, "P")) {
        return find(*p);
    }
    if (auto cookie = HttpSupport::cookie(req, kCookieName)) {
        return find(*cookie);
    }
    return std::nullopt;
}

void SessionStore::markOnline(std::int64_t uid) {
    auto lock = db_.lock();
    db_.run("UPDATE users SET last_online = ? WHERE uid = ?", TimeText::now(), uid);
}

}  // namespace oa
