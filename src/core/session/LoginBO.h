// The sign-in screen's access to the stored sign-in record and the network environments.
#pragma once

#include <optional>

#include "core/session/LoginVO.h"
#include "core/session/PlistManager.h"

namespace oa {

class LoginBO {
public:
    // The stored sign-in record, to pre-fill the sign-in screen.
    LoginVO getPlistInfo() const;
    // Stores the record of a sign-in attempt; false when the file could not be written.
    bool saveInfo(const LoginVO& record) const;
    // The stored network environments, for the environment chooser.
    std::optional<SetDictionary> getSetPlistInfo() const;
    std::string EncryptString(const std::string& password, const std::string& key) const;
    void loginUdp() const;
    void createHeartbeat() const;
    void sendHeartbeat() const;
};

}  // namespace oa
