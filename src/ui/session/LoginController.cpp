// LoginController: the sign-in attempt across threads, and the notifications around it.
#include "ui/session/LoginController.h"

#include <QPointer>
#include <algorithm>
#include <any>
#include <utility>

#include "core/platform/MainLoop.h"
#include "core/push/UDPListener.h"
#include "core/session/LoginBO.h"
#include "ui/controller/main/IndexController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/TableView.h"
#include "ui/session/LoginView.h"
#include "ui/session/SetController.h"

namespace oa {

namespace {

// Runs `task` on the main thread while the controller lives: at once when already there.
void onMainThread(const QPointer<LoginController>& guard, std::function<void()> task) {
    if (MainLoop::main().isMainThread()) {
        if (guard) {
            task();
        }
        return;
    }
    MainLoop::main().post([guard, task = std::move(task)] {
        if (guard) {
            task();
        }
    });
}

// The end of an attempt, on the thread that posted it (the attempt's own). Only the progress
// indicator, which any thread may drive, is touched here; the rest goes to the main thread.
void loginResult(const Notification& notification, const QPointer<LoginController>& guard) {
    if (const auto* failure = std::any_cast<std::string>(&notification.object)) {
        const QString text = QString::fromStdString(*failure);
        ProgressHUD::dismissWithError(text);
        MainLoop::main().post([guard, text] {
            if (guard) {
                emit guard->loginFinished(text);
            }
        });
    } else if (const auto* question = std::any_cast<TrustQuestion>(&notification.object)) {
        ProgressHUD::dismiss();
        MainLoop::main().post([guard, asked = *question] {
            if (guard) {
                guard->askTrust(asked);
            }
        });
    } else if (const auto* modules =
                   std::any_cast<std::vector<std::string>>(&notification.object)) {
        ProgressHUD::dismissWithSuccess(QString::fromUtf8(LoginController::kSucceeded));
        // Posted rather than waited for: the main thread may be tearing the screen down, and
        // it waits for this observer to return.
        MainLoop::main().post([guard, list = *modules] {
            if (guard) {
                guard->returnMainThread(list);
            }
        });
    }
}

}  // namespace

LoginController::LoginController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("登录"));
}

LoginController::~LoginController() {
    // Unregister before the members go: a handler may be running on another thread.
    loginResultToken_.reset();
    loginUdpResultToken_.reset();
    refreshToken_.reset();
}

void LoginController::loadView() {
    auto* view = new LoginView;
    view->setLogin_service(this);
    loginView_ = view;
    setView(view);

    const QPointer<LoginController> guard(this);
    auto& center = NotificationCenter::defaultCenter();
    loginResultToken_ = center.addObserver(
        LoginBO::kLoginResult, [guard](const Notification& n) { loginResult(n, guard); });
    loginUdpResultToken_ =
        center.addObserver(UDPListener::kLoginUdpResult, [guard](const Notification& n) {
            const auto* result = std::any_cast<std::string>(&n.object);
            const std::string text = result ? *result : std::string();
            onMainThread(guard, [guard, text] { guard->loginUdpResult(text); });
        });
    refreshToken_ = center.addObserver(SetController::kRefresh, [guard](const Notification&) {
        onMainThread(guard, [guard] { guard->refreshIp(); });
    });

    view->createView();
}

void LoginController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(true, animated);
    }
}

LoginVO LoginController::getLoginInfo() {
    return LoginBO().getPlistInfo();
}

void LoginController::loginServer(const LoginVO& record) {
    lastRecord_ = record;
    ProgressHUD::showWithStatus(QString::fromUtf8(kLoggingIn));
    runInBackground([record] { operBO(record); });
}

void LoginController::operBO(const LoginVO& record) {
    LoginBO().loginOperation(record);
}

void LoginController::returnMainThread(const std::vector<std::string>& modules) {
    LoginBO().loginUdp();
    NavigationController* nav = navigationController();
    const auto stack = nav ? nav->viewControllers() : QList<ViewController*>();
    // Two attempts may both succeed (a double click on "确  认"): one index is enough.
    const bool signedIn = std::any_of(stack.begin(), stack.end(), [](ViewController* c) {
        return qobject_cast<IndexController*>(c) != nullptr;
    });
    if (nav && !signedIn) {
        auto* index = new IndexController;
        index->setFunc_array(modules);
        nav->pushViewController(index, true);
    }
    emit loginFinished(QString());
}

void LoginController::loginUdpResult(const std::string& result) {
    if (result != "NO") {
        LoginBO().createHeartbeat();
    }
}

void LoginController::refreshIp() {
    if (loginView_) {
        loginView_->refreshSetValue(LoginBO().getSetPlistInfo());
    }
}

void LoginController::askTrust(const TrustQuestion& question) {
    if (trustAlert_) {
        // One question at a time (a double click on "确  认" asks twice); the newer wins.
        trustAlert_->dismissWithClickedButtonIndex(-1, false);
    }
    question_ = question;
    trustAlert_ = new AlertView(QString::fromStdString(question.title()),
                                QString::fromStdString(question.message()), this,
                                QString::fromUtf8(TrustQuestion::kCancelButton),
                                {QString::fromUtf8(TrustQuestion::kTrustButton)});
    trustAlert_->setObjectName(QStringLiteral("trustAlert"));
    if (isViewLoaded() && view()->window()) {
        trustAlert_->showInView(view()->window());
    } else {
        trustAlert_->show();
    }
    emit loginFinished(QString::fromStdString(question.title()));
}

void LoginController::alertView(AlertView* alert, int buttonIndex) {
    if (alert != trustAlert_ || !question_) {
        return;
    }
    const TrustQuestion question = *std::exchange(question_, std::nullopt);
    if (buttonIndex != alert->firstOtherButtonIndex()) {
        return;
    }
    if (!question.trust()) {
        ProgressHUD::dismissWithError(QString::fromUtf8(kTrustNotSaved));
        return;
    }
    loginServer(lastRecord_);
}

void LoginController::enterSetController() {
    if (NavigationController* nav = navigationController()) {
        nav->pushViewController(new SetController(TableView::Style::Grouped), true);
    }
}

}  // namespace oa
