// The write screen's end-to-end tests against the in-process demo server: signing in as one of
// its people, reading lists back, and switching faults on its pages.
#pragma once

#include <httplib.h>

#include <QImage>
#include <QtTest>
#include <any>
#include <memory>
#include <string>
#include <vector>

#include "core/platform/NotificationCenter.h"
#include "core/protocol/BaseBO.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "core/session/LoginVO.h"
#include "server/AdminGuard.h"
#include "ui/support/DemoServerInstance.h"

namespace oa::write {

// Signs in as the client does; true when the server granted a session.
inline bool signIn(const std::string& user) {
    bool granted = false;
    ObserverToken token = NotificationCenter::defaultCenter().addObserver(
        LoginBO::kLoginResult, [&](const Notification& note) {
            granted = std::any_cast<std::vector<std::string>>(&note.object) != nullptr;
        });
    LoginVO record;
    record.name = user;
    record.pwd = "123456";
    record.oa = test::demoServerInstanceAddress();
    LoginBO().loginOperation(record);
    return granted;
}

// The records of the first page of a module's list, as the signed-in user sees it.
template <class Record>
std::vector<std::shared_ptr<Record>> listOf(const std::string& module) {
    std::vector<std::shared_ptr<Record>> out;
    BaseBO logic(module);
    for (const auto& record : logic.getList().value_or(RecordList{})) {
        if (auto typed = std::dynamic_pointer_cast<Record>(record)) {
            out.push_back(typed);
        }
    }
    return out;
}

// The next `count` requests to `page` are answered with `status` (or wait `delayMs`).
inline bool fault(const std::string& page, int count, int status, int delayMs = 0) {
    httplib::Client http("127.0.0.2", test::demoServerInstance().httpPort());
    httplib::Params form{{"page", page}, {"count", std::to_string(count)}};
    if (status > 0) {
        form.emplace("status", std::to_string(status));
    } else {
        form.emplace("delay_ms", std::to_string(delayMs));
    }
    const auto result = http.Post("/demo/admin/fault", {{AdminGuard::kHeader, "1"}}, form);
    return result && result->status == 200;
}

// An attachment as the signed-in user downloads it, read as a picture.
inline QImage attachmentPicture(const std::string& id, const std::string& name) {
    httplib::Client http("127.0.0.2", test::demoServerInstance().httpPort());
    const std::string session = GlobalVar::getInstance_global().session_id().value_or("");
    const auto result = http.Get("/mobile/inc/attach_file.php?P=" + session +
                                 "&ATTACHMENT_ID=" + id + "&ATTACHMENT_NAME=" + name);
    if (!result || result->status != 200) {
        return {};
    }
    return QImage::fromData(QByteArray::fromStdString(result->body));
}

}  // namespace oa::write
