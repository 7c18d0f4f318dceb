// LoginBO: each call goes through a PlistManager of its own.
#include "core/session/LoginBO.h"

namespace oa {

LoginVO LoginBO::getPlistInfo() const {
    return PlistManager().getLoginInfo();
}

bool LoginBO::saveInfo(const LoginVO& record) const {
    return PlistManager().setLoginInfo(record);
}

std::optional<SetDictionary> LoginBO::getSetPlistInfo() const {
    return PlistManager().getSetInfo();
}

}  // namespace oa
