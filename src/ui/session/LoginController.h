// LoginController: the sign-in screen at the root of the navigation stack for the whole run. It
// runs sign-in attempts on background threads, shows their progress, and on success logs in to
// the push channel and pushes the main index.
#pragma once

#include <string>
#include <vector>

#include "core/platform/NotificationCenter.h"
#include "core/session/LoginVO.h"
#include "ui/kit/ViewController.h"
#include "ui/session/LoginService.h"

namespace oa {

class LoginView;

class LoginController : public ViewController, public LoginService {
    Q_OBJECT
public:
    static constexpr char kLoggingIn[] = "正在登录中...";
    static constexpr char kSucceeded[] = "成功";

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

signals:
    // An attempt has ended: with the failure text, or empty on success (the index is pushed).
    void loginFinished(const QString& failure);

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;

private:
    LoginView* loginView_ = nullptr;
    ObserverToken loginResultToken_;
    ObserverToken loginUdpResultToken_;
    ObserverToken refreshToken_;
};

}  // namespace oa
