// Accounts and sessions: the sign-in check, session ids handed out at sign-in, and finding the
// signed-in user of a request from its "P" field or, without one, from the session cookie.
#pragma once

#include <httplib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "server/Database.h"

namespace oa {

// The signed-in user of a request.
struct SessionUser {
    std::int64_t uid = 0;
    std::string sessionId;
    std::string userId;    // login name
    std::string userName;  // display name
    std::string funcStr;   // granted modules, comma separated

    // Whether the user was granted the module key; "user" and "weather" are everyone's.
    bool mayUse(std::string_view module) const;
};

class SessionStore {
public:
    static constexpr const char* kCookieName = "OA_SESSION";

    explicit SessionStore(Database& db) : db_(db) {}

    // Checks the login name and password and opens a new session. Absent on a wrong name or
    // password (also when either is empty).
    std::optional<SessionUser> signIn(const std::string& userId, const std::string& password);
    // The user whose password this is, for the IM service's login datagram.
    std::optional<std::int64_t> checkPassword(const std::string& userId,
                                              const std::string& password);
    // The session's user; absent for an unknown id. Refreshes the session's last use.
    std::optional<SessionUser> find(const std::string& sessionId);
    // The signed-in user of a request: the "P" field when the request has one, else the cookie.
    std::optional<SessionUser> authenticate(const httplib::Request& req);
    // Records the client's online report.
    void markOnline(std::int64_t uid);

private:
    Database& db_;
};

}  // namespace oa
