// LoginController: the sign-in screen at the root of the navigation stack for the whole run. It
// runs sign-in attempts on background threads, shows their progress, and on success logs in to
// the push channel and pushes the main index.
#pragma once

#include <QPointer>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/NotificationCenter.h"
#include "core/session/LoginVO.h"
#include "core/session/TrustQuestion.h"
#include "ui/kit/AlertView.h"
#include "ui/kit/ViewController.h"
#include "ui/session/LoginService.h"

namespace oa {

class LoginView;

class LoginController : public ViewController, public LoginService, public AlertViewDelegate {
    Q_OBJECT
public:
    static constexpr char kLoggingIn[] = "正在登录中...";
    static constexpr char kSucceeded[] = "成功";
    static constexpr char kTrustNotSaved[] = "无法保存受信任的证书";

    explicit LoginController(QObject* parent = nullptr);
    ~LoginController() override;

    LoginView* loginView() const { return loginView_; }

    // LoginService.
    LoginVO getLoginInfo() override;
    void loginServer(const LoginVO& record) override;
    void enterSetController() override;

    // The background part of an attempt: stores the record and signs in.
    static void operBO(const LoginVO& record);
    // On the main thread after a successful attempt: the push channel's login datagram, then
    // the main index with the module list.
    void returnMainThread(const std::vector<std::string>& modules);
    // The push channel accepted (anything but "NO") or refused the login datagram.
    void loginUdpResult(const std::string& result);
    // The settings were saved: the chosen environment's address and name anew.
    void refreshIp();

    // An attempt was refused for the server's certificate: asks the user with the certificate
    // ("信任此证书" / "取消"). Trusting pins its key and repeats the attempt.
    void askTrust(const TrustQuestion& question);
    // The question showing, if any.
    AlertView* trustAlert() const { return trustAlert_; }
    // AlertViewDelegate: the answer to the question.
    void alertView(AlertView* alertView, int buttonIndex) override;

signals:
    // An attempt has ended: with the failure text (the question's title when the certificate
    // was refused), or empty on success (the index is pushed).
    void loginFinished(const QString& failure);

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;

private:
    LoginView* loginView_ = nullptr;
    ObserverToken loginResultToken_;
    ObserverToken loginUdpResultToken_;
    ObserverToken refreshToken_;
    // Main thread only: the record of the last attempt, repeated after trusting its server.
    LoginVO lastRecord_;
    std::optional<TrustQuestion> question_;
    QPointer<AlertView> trustAlert_;
};

}  // namespace oa
