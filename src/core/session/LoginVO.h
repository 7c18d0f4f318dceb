// The sign-in record: what the sign-in screen holds and "loginPlist.plist" stores.
#pragma once

#include <optional>
#include <string>

namespace oa {

struct LoginVO {
    std::optional<std::string> name;    // user name
    std::optional<std::string> pwd;     // password, plain text
    std::optional<std::string> oa;      // server base address, e.g. "http://host:port"
    std::optional<std::string> oaName;  // display name of the chosen network environment
    std::optional<std::string> oaKey;   // "name1", "name2" or "name3"
    bool isRem = false;                 // switch "记住密码"
    bool isAuto = false;                // switch "自动登录"

    bool operator==(const LoginVO&) const = default;
};

}  // namespace oa
