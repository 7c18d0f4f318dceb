// Shared set-up of the shell's screen tests: one runner for all test classes, a demo server
// running in-process on loopback, a fresh application home per test, a fake push-channel socket
// and the phone window with its navigation stack rooted at the sign-in screen.
#pragma once

#include <QObject>
#include <QSize>
#include <QString>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/session/LoginVO.h"
#include "core/session/PlistManager.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Window.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

class LoginController;

namespace test {
class FakeDatagramSocket;
class TempHome;
}  // namespace test

namespace shell {

// The seeded demo server of the test program, started on first use (HTTP on a free port of
// 127.0.0.2; the IM service on a free port, since the client's datagrams go to a fake socket).
std::string demoServerAddress();  // "http://127.0.0.2:<port>"

// Per test: a fresh home, a fresh session, a fake datagram socket behind the push channel, no
// progress indicator and no online-status timer. Destroy it after the screens.
class Environment {
public:
    Environment();
    ~Environment();
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    const std::filesystem::path& home() const;
    // The push channel's socket (created on the first use of the channel).
    test::FakeDatagramSocket* socket() const;
    // Texts of the datagrams sent so far.
    std::vector<std::string> sentTexts() const;

    // Writes the settings file and the sign-in record.
    static void storeSettings(const SetDictionary& settings);
    // Environment 1 is the demo server ("演示"), the others empty, the push port 1188.
    static void storeDemoSettings();
    static void storeRecord(const LoginVO& record);

private:
    std::unique_ptr<test::TempHome> home_;
};

// The phone window showing a navigation stack with the sign-in screen at its root, as the
// client starts; slides are immediate.
class Screen {
public:
    explicit Screen(QSize size = QSize(320, 480));
    ~Screen();

    Window* window() const { return window_.get(); }
    NavigationController* nav() const { return nav_; }
    LoginController* login() const { return login_; }
    ViewController* top() const;
    template <typename T>
    T* topAs() const {
        return qobject_cast<T*>(top());
    }

private:
    std::unique_ptr<Window> window_;
    NavigationController* nav_;
    LoginController* login_;
};

// A record that signs in to the demo server as `user`.
LoginVO demoRecord(const std::string& user = "wangjianguo", const std::string& password = "123456");

// The client's password scrambling, to recognise the login datagram.
std::string scrambled(const std::string& password);

}  // namespace shell
}  // namespace oa

// Registers the QtTest class `oa::Class` (default-constructible) with the runner.
#define OA_SHELL_TEST(Class) OA_QT_TEST(Class)
