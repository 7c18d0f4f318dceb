// What the lookup tests share: a window whose navigation stack opens a lookup screen, a session
// with the in-process demo server, a recording opener for phone addresses, and small waits.
#pragma once

#include <QPointer>
#include <QUrl>
#include <QtTest>
#include <any>
#include <string>
#include <vector>

#include "core/platform/NotificationCenter.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "core/session/LoginVO.h"
#include "support/HttpTestServer.h"
#include "ui/controller/detail/DetailController.h"
#include "ui/controller/lookup/CallOrText.h"
#include "ui/controller/lookup/OtherFuncController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Window.h"
#include "ui/platform/FakeUrlOpener.h"
#include "ui/support/DemoServerInstance.h"

namespace oa::test {

constexpr int kWaitMs = 15000;

inline CannedReply json(std::string body) {
    return {200, {{"Content-Type", "text/plain; charset=utf-8"}}, std::move(body)};
}

// The value of a form field of a request; "<none>" when it was not sent.
inline QString formValue(const CapturedRequest& request, const std::string& name) {
    for (const auto& part : request.form()) {
        if (part.name == name) {
            return QString::fromStdString(part.value);
        }
    }
    return QStringLiteral("<none>");
}

// The names of a request's form fields in order.
inline QStringList formNames(const CapturedRequest& request) {
    QStringList names;
    for (const auto& part : request.form()) {
        names << QString::fromStdString(part.name);
    }
    return names;
}

// Types `text` into `widget` a character at a time, as keys carrying that text (Chinese too).
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
    }
}

// Signs in to the in-process demo server as `user`, as the client does; the session's address
// and id are then set. True when the server granted a session.
inline bool signInToDemo(const std::string& user = "wangjianguo") {
    bool granted = false;
    ObserverToken token = NotificationCenter::defaultCenter().addObserver(
        LoginBO::kLoginResult, [&](const Notification& note) {
            granted = std::any_cast<std::vector<std::string>>(&note.object) != nullptr;
        });
    LoginVO record;
    record.name = user;
    record.pwd = "123456";
    record.oa = demoServerInstanceAddress();
    LoginBO().loginOperation(record);
    return granted;
}

// Points the session at a loopback test server.
inline void useServer(const HttpTestServer& server) {
    GlobalVar::getInstance_global().setOa(server.url(""));
    GlobalVar::getInstance_global().setSession_id("s1");
}

// A window with a navigation stack over a plain root screen.
struct LookupHost {
    LookupHost()
        : window(QSize(320, 480)), root(new ViewController), nav(new NavigationController(root)) {
        nav->setTransitionDuration(0);
        window.setRootViewController(nav);
        window.makeKeyAndVisible();
    }
    // Pushes the lookup screen of `key`.
    QPointer<OtherFuncController> open(const std::string& key, const std::string& title = "查询") {
        auto* lookup = new OtherFuncController;
        lookup->setFunc_type(key);
        lookup->setFunc_title(title);
        nav->pushViewController(lookup, false);
        return lookup;
    }
    DetailController* topDetail() const {
        return qobject_cast<DetailController*>(nav->topViewController());
    }
    int depth() const { return int(nav->viewControllers().size()); }
    Window window;
    ViewController* root;
    NavigationController* nav;
};

// A fake opener installed while it lives: it records the addresses and answers as set.
struct RecordingOpener {
    RecordingOpener() { UrlOpener::setCurrent(fake); }
    ~RecordingOpener() {
        // Nothing real may open after a test either.
        UrlOpener::setCurrent(std::make_shared<FakeUrlOpener>(false));
    }
    QList<QUrl> urls() const { return fake->opened(); }
    std::shared_ptr<FakeUrlOpener> fake = std::make_shared<FakeUrlOpener>(true);
};

// Waits for the detail screen's view.
inline bool waitShown(DetailController* detail) {
    if (!detail) {
        return false;
    }
    if (detail->detailView()) {
        return true;
    }
    QSignalSpy shown(detail, &DetailController::detailShown);
    return shown.wait(kWaitMs);
}

}  // namespace oa::test
