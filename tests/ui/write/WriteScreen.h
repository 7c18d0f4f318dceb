// Shared set-up of the write screen's tests: a fresh home, a signed-in user, a clock fixed at
// 2026-05-08 09:05, and the phone window with a navigation stack over which a write screen is
// pushed.
#pragma once

#include <QCoreApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "core/platform/AppPaths.h"
#include "core/platform/MainLoop.h"
#include "core/protocol/DirectoryRecords.h"
#include "core/session/GlobalVar.h"
#include "ui/controller/write/WallClock.h"
#include "ui/controller/write/WriteController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/Window.h"

namespace oa::write {

inline const QDateTime kNow(QDate(2026, 5, 8), QTime(9, 5));

// Lets submissions still running end and their results reach the main thread.
inline void drain() {
    joinBackgroundThreads();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline std::shared_ptr<UserVO> person(const std::string& id, const std::string& name,
                                      const std::string& uid = {}) {
    auto user = std::make_shared<UserVO>();
    user->user_id = id;
    user->user_name = name;
    user->user_uid = uid.empty() ? id : uid;
    return user;
}

// A temporary home with the session of user "王伟" (uid 7); restores everything on destruction.
class WriteEnvironment {
public:
    WriteEnvironment() : previous_(AppPaths::current()) {
        AppPaths::setCurrent(AppPaths(home_.path().toStdString(), previous_.resources()));
        AppPaths::current().ensureDirectories();
        WallClock::setSource([] { return kNow; });
        GlobalVar& session = GlobalVar::getInstance_global();
        session.setLogin_user_name(std::string("王伟"));
        session.setUid(std::string("7"));
        session.setOa(std::string("http://127.0.0.1:9"));
        session.setSession_id(std::string("s1"));
    }
    ~WriteEnvironment() {
        drain();
        WallClock::setSource({});
        AppPaths::setCurrent(previous_);
        ProgressHUD::resetForTesting();
        GlobalVar::getInstance_global().resetForTesting();
    }
    WriteEnvironment(const WriteEnvironment&) = delete;
    WriteEnvironment& operator=(const WriteEnvironment&) = delete;

    std::filesystem::path home() const { return home_.path().toStdString(); }
    std::filesystem::path tmp() const { return home() / "tmp"; }

private:
    QTemporaryDir home_;
    AppPaths previous_;
};

// The phone window with a navigation stack and a write screen of `kind` pushed over its root.
class WriteScreen {
public:
    explicit WriteScreen(const std::string& kind, std::vector<std::shared_ptr<UserVO>> to = {},
                         QSize screen = {320, 480})
        : window_(std::make_unique<Window>(screen)), root_(new ViewController) {
        root_->setTitle(QStringLiteral("首页"));
        nav_ = new NavigationController(root_);
        nav_->setTransitionDuration(0);
        window_->setRootViewController(nav_);
        window_->makeKeyAndVisible();
        write_ = new WriteController;
        write_->setFunc_type(kind);
        write_->setUserAry(std::move(to));
        nav_->pushViewController(write_, false);
    }
    ~WriteScreen() { close(); }
    WriteScreen(const WriteScreen&) = delete;
    WriteScreen& operator=(const WriteScreen&) = delete;

    // The window goes as when the client quits: the screen is destroyed with what it holds.
    void close() {
        window_.reset();
        drain();
    }

    // Makes the window the active one, so that the keyboard focus moves as on a desktop.
    bool activate() {
        window_->activateWindow();
        return QTest::qWaitForWindowActive(window_.get());
    }

    WriteController* write() const { return write_; }
    NavigationController* nav() const { return nav_; }
    bool isOpen() const { return write_ && nav_ && nav_->topViewController() == write_; }

    // Submits and waits for the verdict; true when it came back within the time-out.
    bool submitAndWait(bool* succeeded = nullptr) {
        QSignalSpy finished(write_.data(), &WriteController::submitFinished);
        write_->saveInfo();
        if (finished.isEmpty() && !finished.wait(20000)) {
            return false;
        }
        if (succeeded) {
            *succeeded = finished.first().first().toBool();
        }
        drain();
        return true;
    }

private:
    std::unique_ptr<Window> window_;
    ViewController* root_;
    QPointer<NavigationController> nav_;
    QPointer<WriteController> write_;
};

}  // namespace oa::write
