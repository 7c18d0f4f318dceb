// Leaving a lookup screen or a card while its request is held by the server: nothing crashes,
// nothing is pushed afterwards, and a result posted later reaches no screen that is gone.
#include <QtTest>

#include "LookupHost.h"
#include "core/platform/MainLoop.h"
#include "core/protocol/LookupNotifications.h"
#include "ui/controller/lookup/AddressView.h"
#include "ui/controller/lookup/TelNoView.h"
#include "ui/controller/lookup/UserDetailView.h"
#include "ui/controller/lookup/UserView.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/TextField.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

using test::HttpTestServer;
using test::kWaitMs;
using test::LookupHost;

// A server whose every reply waits for release().
void holdEverything(HttpTestServer& server, const std::string& path, std::string body) {
    server.setHandler(path,
                      [body](const test::CapturedRequest&, HttpTestServer::Exchange& exchange) {
                          if (exchange.waitForRelease()) {
                              exchange.reply(test::json(body));
                          }
                      });
}

// Lets the held request finish and every task it posted run.
void settle(HttpTestServer& server) {
    server.release(8);
    QVERIFY(server.waitForInFlight(0));
    joinBackgroundThreads();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void clickBack(ViewController* screen) {
    auto* back = qobject_cast<BarButton*>(screen->leftBarButtonItem());
    QVERIFY(back);
    QTest::mouseClick(back, Qt::LeftButton);
}

}  // namespace

class LookupLifetimeTest : public QObject {
    Q_OBJECT

private slots:
    void init() { GlobalVar::getInstance_global().resetForTesting(); }

    void leavingThePersonSearchWhileItRuns() {
        HttpTestServer server;
        holdEverything(server, "/mobile/inc/get_contactlist.php", R"([{"user_name":"王浩"}])");
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("user");
        QPointer<UserView> view = qobject_cast<UserView*>(lookup->searchView());
        test::typeText(view->name_txt(), QStringLiteral("王"));
        QVERIFY(server.waitForInFlight(1));
        clickBack(lookup);
        QTRY_VERIFY_WITH_TIMEOUT(!lookup && !view, kWaitMs);
        settle(server);
        // A later result has nobody to reach.
        NotificationCenter::defaultCenter().post(UserSearchNotification::kName,
                                                 UserSearchNotification::Object{});
        QCoreApplication::processEvents();
        QCOMPARE(host.depth(), 1);
    }

    void leavingTheAddressBookWhileItRuns() {
        HttpTestServer server;
        holdEverything(server, "/mobile/address/data.php", R"([{"q_id":"1"}])");
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("address");
        QPointer<AddressView> view = qobject_cast<AddressView*>(lookup->searchView());
        QTest::keyClick(view->name_txt(), Qt::Key_Return);
        QVERIFY(server.waitForInFlight(1));
        host.nav->popViewController(false);
        QTRY_VERIFY_WITH_TIMEOUT(!lookup && !view, kWaitMs);
        settle(server);
        NotificationCenter::defaultCenter().post(AddressSearchNotification::kName,
                                                 AddressSearchNotification::Object{});
        QCoreApplication::processEvents();
        QCOMPARE(host.depth(), 1);
    }

    void placesArrivingAfterTheUserLeftOpenNothing() {
        HttpTestServer server;
        holdEverything(server, "/mobile/tel_no/data.php", R"([{"province":"浙江省"}])");
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("tel_no");
        QPointer<TelNoView> view = qobject_cast<TelNoView*>(lookup->searchView());
        view->search();
        QVERIFY(server.waitForInFlight(1));
        clickBack(lookup);
        QTRY_VERIFY_WITH_TIMEOUT(!lookup && !view, kWaitMs);
        settle(server);
        QCOMPARE(host.depth(), 1);
        QCOMPARE(host.nav->topViewController(), host.root);
    }

    void placesArrivingOverAnotherScreenOpenNothing() {
        HttpTestServer server;
        holdEverything(server, "/mobile/tel_no/data.php", R"([{"province":"浙江省"}])");
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("tel_no");
        auto* view = qobject_cast<TelNoView*>(lookup->searchView());
        view->search();
        QVERIFY(server.waitForInFlight(1));
        auto* other = new ViewController;
        host.nav->pushViewController(other, false);
        settle(server);
        QCOMPARE(host.nav->topViewController(), other);
        QCOMPARE(host.depth(), 3);
    }

    void leavingACardWhileItsDetailIsHeld_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("path");
        QTest::newRow("person") << "user"
                                << "/mobile/user_info/data.php";
        QTest::newRow("contact") << "address"
                                 << "/mobile/address/data.php";
        QTest::newRow("forecast") << "weather"
                                  << "/mobile/weather/data.php";
    }
    void leavingACardWhileItsDetailIsHeld() {
        QFETCH(QString, key);
        QFETCH(QString, path);
        HttpTestServer server;
        holdEverything(server, path.toStdString(), key == "weather" ? "[]" : "{}");
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open(key.toStdString());
        if (key == "weather") {
            lookup->lookDetail("weather", Text("北京"));
        } else if (key == "user") {
            auto person = std::make_shared<UserVO>();
            person->user_uid = "11";
            lookup->lookDetail(std::shared_ptr<BaseVO>(person), "user");
        } else {
            auto contact = std::make_shared<AddressVO>();
            contact->q_id = "3";
            lookup->lookDetail(std::shared_ptr<BaseVO>(contact), "address");
        }
        QTRY_VERIFY_WITH_TIMEOUT(host.topDetail(), kWaitMs);
        QPointer<DetailController> detail = host.topDetail();
        QVERIFY(server.waitForInFlight(1));
        // The window is not held up by the request.
        QVERIFY(!detail->detailView());
        clickBack(detail);
        QTRY_VERIFY_WITH_TIMEOUT(!detail, kWaitMs);
        QCOMPARE(host.nav->topViewController(), lookup.data());
        settle(server);
        QCOMPARE(host.depth(), 2);
    }

    void aLookupDestroyedWithADetailStillQueuedPushesNothing() {
        HttpTestServer server;
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("weather");
        lookup->lookDetail("weather", Text("北京"));
        host.nav->popViewController(false);
        QTRY_VERIFY_WITH_TIMEOUT(!lookup, kWaitMs);
        QCoreApplication::processEvents();
        QCOMPARE(host.depth(), 1);
        QCOMPARE(server.requests().size(), std::size_t(0));
    }
};

}  // namespace oa

OA_QT_TEST(LookupLifetimeTest)
#include "LookupLifetimeTest.moc"
