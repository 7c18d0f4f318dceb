// The sign-in screen's access to the stored sign-in record and the network environments.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/session/LoginVO.h"
#include "core/session/PlistManager.h"

namespace oa {

class LoginBO {
public:
    // The notification that ends a sign-in attempt, and its two failure texts.
    static constexpr char kLoginResult[] = "loginResult";
    static constexpr char kAddressFailure[] = " [OA地址] 填写错误！";
    static constexpr char kCredentialsFailure[] = " [用户名]或[密码] 填写错误！";

    // The stored sign-in record, to pre-fill the sign-in screen.
    LoginVO getPlistInfo() const;
    // Stores the record of a sign-in attempt; false when the file could not be written.
    bool saveInfo(const LoginVO& record) const;
    // The stored network environments, for the environment chooser.
    std::optional<SetDictionary> getSetPlistInfo() const;

    // One sign-in attempt, run on a background thread: saveInfo, then login. Both are defined in
    // core/protocol/LoginBOSignIn.cpp, beside the reply parser they hand over to.
    void loginOperation(const LoginVO& record) const;
    // Sets GlobalVar oa to the record's address and posts the form to "<oa>/mobile/login.php".
    // The outcome arrives as the notification "loginResult", posted on the calling thread: a
    // std::string with the failure text, the module list (std::vector<std::string>), or, when
    // an https server was refused for its certificate, the TrustQuestion to put to the user.
    void login(const LoginVO& record) const;

    std::string EncryptString(const std::string& password, const std::string& key) const;
    // The login datagram of the stored sign-in record.
    std::string loginDatagram() const;
    // Announces the signed-in user to the IM service: the login datagram, repeated until the
    // service answers and again every few minutes while signed in (UDPListener::announce).
    void loginUdp() const;
    // Sign-out: stops announcing (the heartbeat of the process keeps running).
    void logoutUdp() const;
    // Checks that the IM service answers: `done(true)` on its answer, `done(false)` after
    // UDPListener::kSelfTestLimit without one. Main thread.
    void pushSelfTest(std::function<void(bool)> done) const;
    void createHeartbeat() const;
    void sendHeartbeat() const;
};

}  // namespace oa
