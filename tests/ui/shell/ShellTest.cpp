// Shared set-up of the shell's screen tests.
#include "ShellTest.h"

#include <QCoreApplication>
#include <QtTest>
#include <mutex>

#include "core/platform/MainLoop.h"
#include "core/push/UDPListener.h"
#include "core/session/GlobalVar.h"
#include "support/FakeDatagramSocket.h"
#include "support/TempHome.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/Window.h"
#include "ui/session/CheckOnline.h"
#include "ui/session/LoginController.h"
#include "ui/support/DemoServerInstance.h"

namespace oa {

namespace shell {

namespace {

std::mutex g_socketMutex;
test::FakeDatagramSocket* g_socket = nullptr;  // Guarded by g_socketMutex; owned by the listener.

void drainMainLoop() {
    // Loads still running post their results to the main loop; let them end and run.
    joinBackgroundThreads();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

}  // namespace

std::string demoServerAddress() {
    return test::demoServerInstanceAddress();
}

Environment::Environment() : home_(std::make_unique<test::TempHome>()) {
    GlobalVar::getInstance_global().resetForTesting();
    ProgressHUD::resetForTesting();
    CheckOnline::resetForTesting();
    UDPListener::resetForTesting();
    UDPListener::setSocketFactory([] {
        auto socket = std::make_unique<test::FakeDatagramSocket>();
        std::lock_guard lock(g_socketMutex);
        g_socket = socket.get();
        return socket;
    });
}

Environment::~Environment() {
    drainMainLoop();
    CheckOnline::resetForTesting();
    UDPListener::resetForTesting();
    {
        std::lock_guard lock(g_socketMutex);
        g_socket = nullptr;
    }
    ProgressHUD::resetForTesting();
    GlobalVar::getInstance_global().resetForTesting();
}

const std::filesystem::path& Environment::home() const {
    return home_->path();
}

test::FakeDatagramSocket* Environment::socket() const {
    std::lock_guard lock(g_socketMutex);
    return g_socket;
}

std::vector<std::string> Environment::sentTexts() const {
    test::FakeDatagramSocket* fake = socket();
    return fake ? fake->sentTexts() : std::vector<std::string>{};
}

void Environment::storeSettings(const SetDictionary& settings) {
    PlistManager().saveSetInfo(settings);
}

void Environment::storeDemoSettings() {
    storeSettings({{"name1", "演示"},
                   {"ip1", demoServerAddress()},
                   {"name2", ""},
                   {"ip2", ""},
                   {"name3", ""},
                   {"ip3", ""},
                   {"im_port", "1188"}});
}

void Environment::storeRecord(const LoginVO& record) {
    const auto oa = GlobalVar::getInstance_global().oa();
    PlistManager().setLoginInfo(record);
    GlobalVar::getInstance_global().setOa(oa);  // storing is not a sign-in
}

Screen::Screen(QSize size) : window_(std::make_unique<Window>(size)), login_(new LoginController) {
    nav_ = new NavigationController(login_);
    nav_->setTransitionDuration(0);
    nav_->setNavigationBarHidden(true);
    window_->setRootViewController(nav_);
    window_->makeKeyAndVisible();
}

Screen::~Screen() {
    window_.reset();
    drainMainLoop();
}

ViewController* Screen::top() const {
    return nav_->topViewController();
}

LoginVO demoRecord(const std::string& user, const std::string& password) {
    LoginVO record;
    record.name = user;
    record.pwd = password;
    record.oa = demoServerAddress();
    record.oaName = "演示";
    record.oaKey = "name1";
    record.isRem = true;
    return record;
}

std::string scrambled(const std::string& password) {
    const std::string key = "QXVL7305";
    std::string out = password;
    for (std::size_t i = 0; i < out.size(); ++i) {
        for (std::size_t k = 0; k < key.size(); k += (i % 2 == 0 ? 1 : 2)) {
            out[i] = static_cast<char>(out[i] ^ key[k]);
        }
    }
    return out;
}

}  // namespace shell
}  // namespace oa
