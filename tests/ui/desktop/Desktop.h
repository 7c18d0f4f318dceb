// Shared set-up of the desktop tests: a fresh home, a loopback server with a conversation list
// and a mail list, and the signed-in index in the client's window, with a second window that
// takes the focus away from it when a test needs the client's window inactive.
#pragma once

#include <QApplication>
#include <QWidget>
#include <QtTest>
#include <memory>
#include <string>

#include "core/platform/MainLoop.h"
#include "core/platform/NotificationCenter.h"
#include "core/push/UDPListener.h"
#include "core/session/GlobalVar.h"
#include "support/FakeDatagramSocket.h"
#include "support/HttpTestServer.h"
#include "support/TempHome.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/main/NewsNotifier.h"
#include "ui/controller/message/MessageView.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Window.h"
#include "ui/session/CheckOnline.h"

namespace oa::desktop {

// One unread conversation with 李明, whose newest message has two lines.
inline constexpr char kConversations[] =
    R"([{"q_id":"7","q_name":"李明","avatar":"0","send_time":"10:05","read_flag":"0",)"
    R"("content":"下午三点开会\n带上材料","unread_num":"1","online":"1"},)"
    R"({"q_id":"8","q_name":"王芳","avatar":"1","send_time":"09:00","read_flag":"1",)"
    R"("content":"好的","unread_num":"0","online":"1"}])";

class SignedIn {
public:
    SignedIn() {
        GlobalVar::getInstance_global().resetForTesting();
        CheckOnline::resetForTesting();
        // Made before the index, as a sign-in makes it.
        UDPListener::setSocketFactory([] { return std::make_unique<test::FakeDatagramSocket>(); });
        server.setReply("/mobile/message/data.php",
                        {200, {{"Content-Type", "text/html; charset=utf-8"}}, kConversations});
        GlobalVar::getInstance_global().setOa(server.url(""));
        GlobalVar::getInstance_global().setSession_id(std::string("S"));
        index = new IndexController;
        index->setFunc_array({"email", "notify"});
        nav = new NavigationController(index);
        window = std::make_unique<Window>(QSize(320, 480));
        window->setRootViewController(nav);
        index->view();
        QSignalSpy firstLoad(index->message_view(), &MessageView::loadFinished);
        window->makeKeyAndVisible();
        firstLoad.wait(10000);
        other.resize(100, 100);
        other.show();
    }
    ~SignedIn() {
        window.reset();
        joinBackgroundThreads();
        CheckOnline::resetForTesting();
        UDPListener::resetForTesting();
        UDPListener::setSocketFactory(nullptr);
        GlobalVar::getInstance_global().resetForTesting();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    // The window as the user left it: active (in front) or not.
    bool setActive(bool active) {
        QWidget* front = active ? static_cast<QWidget*>(window.get()) : &other;
        front->activateWindow();
        return QTest::qWaitForWindowActive(front);
    }
    // Waits for the conversation list to load after the pushes that were posted.
    bool pushMessages(int count) {
        QSignalSpy loaded(index->message_view(), &MessageView::loadFinished);
        index->news()->setGatherFor(std::chrono::milliseconds(300));
        index->message_view()->setPullDelay(std::chrono::milliseconds(0));
        for (int i = 0; i < count; ++i) {
            NotificationCenter::defaultCenter().post(UDPListener::kMessageUdpResult);
        }
        return loaded.wait(10000);
    }

    test::TempHome home;
    test::HttpTestServer server;
    IndexController* index = nullptr;
    NavigationController* nav = nullptr;
    std::unique_ptr<Window> window;
    QWidget other;
};

}  // namespace oa::desktop
