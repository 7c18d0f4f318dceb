// LoginService: what the sign-in form asks of its controller.
#pragma once

#include "core/session/LoginVO.h"

namespace oa {

class LoginService {
public:
    virtual ~LoginService() = default;
    // The stored sign-in record.
    virtual LoginVO getLoginInfo() = 0;
    // Starts a sign-in attempt with the record.
    virtual void loginServer(const LoginVO& record) = 0;
    // Opens the network environments screen.
    virtual void enterSetController() = 0;
};

}  // namespace oa
