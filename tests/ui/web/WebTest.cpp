// The demo server of the web-engine tests and the sign-in to it.
#include "WebTest.h"

#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "ui/support/DemoServerInstance.h"

namespace oa::web {

std::string demoServerAddress() {
    return test::demoServerInstanceAddress();
}

bool signIn(const std::string& user, const std::string& password) {
    LoginVO record;
    record.name = user;
    record.pwd = password;
    record.oa = demoServerAddress();
    LoginBO().login(record);
    return GlobalVar::getInstance_global().session_id().has_value();
}

}  // namespace oa::web
