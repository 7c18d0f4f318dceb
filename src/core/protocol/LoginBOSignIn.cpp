// The HTTP side of a sign-in attempt (LoginBO::loginOperation and LoginBO::login). Defined in the
// protocol library because the reply goes straight to JsonOperation::splitLogin.
#include <string>

#include "core/platform/Log.h"
#include "core/platform/NotificationCenter.h"
#include "core/protocol/JsonOperation.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "core/session/TrustQuestion.h"
#include "core/transport/ASIFormDataRequest.h"

namespace oa {

void LoginBO::loginOperation(const LoginVO& record) const {
    // The record is kept whatever the outcome, so the screen shows it again next time.
    saveInfo(record);
    login(record);
}

void LoginBO::login(const LoginVO& record) const {
    GlobalVar::getInstance_global().setOa(record.oa);

    auto request = ASIFormDataRequest::requestWithURL(record.oa.value_or("") + "/mobile/login.php");
    request->setTimeOutSeconds(10);
    // The sign-in page often names no charset; its texts are UTF-8.
    request->setDefaultResponseEncoding("UTF-8");
    request->setPostValue("USERNAME", record.name);
    request->setPostValue("PASSWORD", record.pwd);
    request->setPostValue("P_VER", "5");
    request->startSynchronous();

    if (TrustQuestion::concerns(request->error())) {
        // Nothing of the form has left: the handshake failed before the request. The question
        // shows the certificate, fetched by another handshake alone.
        std::string why;
        if (auto question = TrustQuestion::ask(*request->error(), request->url(), &why)) {
            NotificationCenter::defaultCenter().post(kLoginResult, std::move(*question));
            return;
        }
        log("cannot fetch the certificate of " + request->url() + ": " + why);
    }
    if (request->error()) {
        NotificationCenter::defaultCenter().post(kLoginResult, std::string(kAddressFailure));
        return;
    }
    JsonOperation().splitLogin(request->responseString());
}

}  // namespace oa
