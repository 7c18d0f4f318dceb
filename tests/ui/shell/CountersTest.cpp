// Module counters on the home grid: badges by tag, when counters are fetched and for which
// module, failures that change nothing, a result that arrives after the index has gone, and
// the one online-status timer of the process.
#include <QSignalSpy>
#include <QtTest>
#include <mutex>

#include "ShellTest.h"
#include "core/platform/Log.h"
#include "core/platform/ManualLoop.h"
#include "core/push/UDPListener.h"
#include "core/session/GlobalVar.h"
#include "core/transport/ASIFormDataRequest.h"
#include "support/FakeDatagramSocket.h"
#include "support/HttpTestServer.h"
#include "ui/controller/main/FuncController.h"
#include "ui/controller/main/HomeView.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/main/MyView.h"
#include "ui/kit/JSBadgeView.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ViewTags.h"
#include "ui/session/CheckOnline.h"
#include "ui/session/LoginController.h"

using namespace std::chrono_literals;

namespace oa {

namespace {

using Counters = std::map<std::string, std::string>;
constexpr char kCountPage[] = "/mobile/services_count.php";
constexpr int kReplyMs = 15000;

// "shown:<text>" or "hidden:<text>" for each cell's badge, in grid order.
QStringList badgeStates(const HomeView* home) {
    QStringList states;
    for (const MyView* cell : home->cells()) {
        const auto* badge = cell->findChild<JSBadgeView*>();
        states << (badge->isHidden() ? "hidden:" : "shown:") + badge->badgeText();
    }
    return states;
}

std::string formValue(const test::CapturedRequest& request, const std::string& name) {
    for (const auto& part : request.form()) {
        if (part.name == name) {
            return part.value;
        }
    }
    return "(absent)";
}

bool hasField(const test::CapturedRequest& request, const std::string& name) {
    return formValue(request, name) != "(absent)";
}

test::CannedReply counters(const std::string& json) {
    return {200, {{"Content-Type", "text/html; charset=utf-8"}}, json};
}

// Requests for the counter page, in order.
std::vector<test::CapturedRequest> counterRequests(const test::HttpTestServer& server) {
    std::vector<test::CapturedRequest> found;
    for (auto& request : server.requests()) {
        if (request.path == kCountPage) {
            found.push_back(request);
        }
    }
    return found;
}

}  // namespace

class CountersTest : public QObject {
    Q_OBJECT

private slots:
    void countersReachTheBadgesByTag_data() {
        QTest::addColumn<Counters>("applied");
        QTest::addColumn<QStringList>("states");  // email, notify, news, public_folder, email
        QTest::newRow("shown and hidden")
            << Counters{{"email", "3"}, {"notify", "0"}}
            << QStringList{"shown:3", "hidden:0", "hidden:11", "hidden:11", "hidden:11"};
        QTest::newRow("public folder has its own tag")
            << Counters{{"public_folder", "7"}, {"file_folder", "2"}}
            << QStringList{"hidden:11", "hidden:11", "hidden:11", "shown:7", "hidden:11"};
        QTest::newRow("unknown keys and modules not on the grid")
            << Counters{{"chat", "9"}, {"diary", "4"}, {"", "1"}}
            << QStringList{"hidden:11", "hidden:11", "hidden:11", "hidden:11", "hidden:11"};
        QTest::newRow("an empty counter shows an empty badge")
            << Counters{{"news", ""}}
            << QStringList{"hidden:11", "hidden:11", "shown:", "hidden:11", "hidden:11"};
        QTest::newRow("a long counter widens its badge")
            << Counters{{"notify", "128"}}
            << QStringList{"hidden:11", "shown:128", "hidden:11", "hidden:11", "hidden:11"};
    }

    void countersReachTheBadgesByTag() {
        QFETCH(Counters, applied);
        QFETCH(QStringList, states);
        shell::Environment env;
        shell::Screen screen;
        auto* index = new IndexController;
        // "email" twice: only the first cell's badge carries the counters.
        index->setFunc_array({"email", "notify", "news", "public_folder", "email"});
        index->view();
        HomeView* home = index->home_view();
        QCOMPARE(viewWithTag(home, 101100), home->badge("public_folder"));

        index->pushReturnMain(applied);
        QCOMPARE(badgeStates(home), states);
        for (const MyView* cell : home->cells()) {
            const auto* badge = cell->findChild<JSBadgeView*>();
            if (!badge->isHidden()) {
                // As wide as its text plus 16 points, however long the text.
                QCOMPARE(badge->height(), JSBadgeView::kHeight);
                QVERIFY(badge->width() >= JSBadgeView::kHorizontalPadding);
            }
        }
        delete index;
    }

    void theIndexFetchesAllCountersWhenItComesIntoView() {
        shell::Environment env;
        test::HttpTestServer server;
        server.setReply(kCountPage, counters(R"({"module":[{"email":"3","notify":"0"}]})"));
        GlobalVar::getInstance_global().setOa(server.url(""));
        GlobalVar::getInstance_global().setUid("1");
        GlobalVar::getInstance_global().setSession_id("s1");
        shell::Screen screen;
        auto* index = new IndexController;
        index->setFunc_array({"email", "notify"});
        QSignalSpy applied(index, &IndexController::countersApplied);
        screen.nav()->pushViewController(index, true);

        QTRY_COMPARE_WITH_TIMEOUT(applied.count(), 1, kReplyMs);
        auto requests = counterRequests(server);
        QCOMPARE(requests.size(), std::size_t(1));
        QCOMPARE(formValue(requests[0], "MODULES"), std::string("INIT"));
        QCOMPARE(formValue(requests[0], "UID"), std::string("1"));
        QVERIFY(!hasField(requests[0], "P"));
        QCOMPARE(badgeStates(index->home_view()), QStringList({"shown:3", "hidden:0"}));

        // A screen over the index and back: the counters are asked for again.
        server.setReply(kCountPage, counters(R"({"module":[{"email":"0","notify":"2"}]})"));
        index->ChoiceFunc("email", "电子邮件");
        QVERIFY(screen.topAs<FuncController>());
        screen.nav()->popViewController(true);
        QTRY_COMPARE_WITH_TIMEOUT(applied.count(), 2, kReplyMs);
        requests = counterRequests(server);
        QCOMPARE(requests.size(), std::size_t(2));
        QCOMPARE(formValue(requests[1], "MODULES"), std::string("INIT"));
        QCOMPARE(badgeStates(index->home_view()), QStringList({"hidden:0", "shown:2"}));
    }

    void aPushNoticeFetchesThatModule() {
        shell::Environment env;
        test::HttpTestServer server;
        server.setReply(kCountPage, counters(R"({"module":[{"email":"1"}]})"));
        GlobalVar::getInstance_global().setOa(server.url(""));
        GlobalVar::getInstance_global().setUid("9");
        // The listener hears the IM service the login datagram went to.
        GlobalVar::getInstance_global().setOvix_zqim_port("1188");
        UDPListener::getInstance_udp().announce("C^m^l^u^p^");
        UDPListener::getInstance_udp().stopAnnouncing();
        shell::Screen screen;
        auto* index = new IndexController;
        index->setFunc_array({"email", "news"});
        QSignalSpy applied(index, &IndexController::countersApplied);
        screen.nav()->pushViewController(index, false);
        QTRY_COMPARE_WITH_TIMEOUT(applied.count(), 1, kReplyMs);

        // The reply may name other modules too; all of them are applied.
        server.setReply(kCountPage, counters(R"({"module":[{"news":"5","email":"2"}]})"));
        env.socket()->inject("n^news");
        QTRY_COMPARE_WITH_TIMEOUT(applied.count(), 2, kReplyMs);
        const auto requests = counterRequests(server);
        QCOMPARE(requests.size(), std::size_t(2));
        QCOMPARE(formValue(requests[1], "MODULES"), std::string("news"));
        QCOMPARE(badgeStates(index->home_view()), QStringList({"shown:2", "shown:5"}));

        // A message notice is not a module's.
        env.socket()->inject("n^message");
        QTRY_COMPARE(env.socket()->readsStarted(), 3);
        QTest::qWait(0);
        QCOMPARE(counterRequests(server).size(), std::size_t(2));
    }

    void aFailedFetchChangesNothing_data() {
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("body");
        QTest::newRow("server error") << true << 500 << "ERROR: no session";
        QTest::newRow("not JSON") << true << 200 << "<html>login</html>";
        QTest::newRow("nobody listens") << false << 0 << "";
    }

    void aFailedFetchChangesNothing() {
        QFETCH(bool, reachable);
        QFETCH(int, status);
        QFETCH(QString, body);
        shell::Environment env;
        test::HttpTestServer server;
        server.setReply(kCountPage, {status, {}, body.toStdString()});
        GlobalVar::getInstance_global().setOa(reachable ? server.url("")
                                                        : std::string("http://127.0.0.1:1"));
        shell::Screen screen;
        auto* index = new IndexController;
        index->setFunc_array({"email", "notify"});
        index->view();
        index->pushReturnMain({{"email", "3"}});
        QSignalSpy applied(index, &IndexController::countersApplied);
        screen.nav()->pushViewController(index, false);
        QTRY_COMPARE_WITH_TIMEOUT(applied.count(), 1, kReplyMs);
        QCOMPARE(counterRequests(server).size(), std::size_t(reachable ? 1 : 0));
        QCOMPARE(badgeStates(index->home_view()), QStringList({"shown:3", "hidden:11"}));
    }

    void theIndexGoneWhileItsFetchRunsIsLeftAlone() {
        shell::Environment env;
        test::HttpTestServer server;
        server.setHandler(
            kCountPage, [](const test::CapturedRequest&, test::HttpTestServer::Exchange& exchange) {
                exchange.waitForRelease();
                exchange.reply(counters(R"({"module":[{"email":"4"}]})"));
            });
        GlobalVar::getInstance_global().setOa(server.url(""));
        std::mutex linesMutex;
        std::vector<std::string> lines;
        const LogSink previous = setLogSink([&](std::string_view line) {
            std::lock_guard lock(linesMutex);
            lines.emplace_back(line);
        });
        {
            shell::Screen screen;
            auto* index = new IndexController;
            index->setFunc_array({"email"});
            const QPointer<IndexController> guard(index);
            screen.nav()->pushViewController(index, false);
            QVERIFY(server.waitForInFlight(1));

            index->returnRootController();  // sign-out pops and releases the index
            QTRY_VERIFY(!guard);
            server.release();
            joinBackgroundThreads();
            QTest::qWait(0);  // the result reaches the main loop and finds nothing
            QCOMPARE(screen.top(), screen.login());
        }
        setLogSink(previous);
        std::lock_guard lock(linesMutex);
        QVERIFY(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find("dic::") == 0 && line.find("email = 4") != std::string::npos;
        }));
    }

    void oneOnlineStatusTimerCarriesTheCurrentSession() {
        shell::Environment env;
        test::HttpTestServer server;
        server.setReply(CheckOnline::kPage, {200, {}, "OK"});
        MainLoop& previous = MainLoop::main();
        ManualLoop loop;
        MainLoop::setMain(&loop);
        auto& session = GlobalVar::getInstance_global();
        session.setOa(server.url(""));

        // Two sign-ins, each with its own index; the first was signed out of.
        session.setSession_id("first");
        auto* first = new IndexController;
        first->view();
        delete first;
        session.setSession_id("second");
        auto* second = new IndexController;
        second->view();
        QCOMPARE(loop.activeTimers(), 1);

        loop.advance(59s);
        QCOMPARE(server.requests().size(), std::size_t(0));
        for (std::size_t tick = 1; tick <= 2; ++tick) {
            loop.advance(tick == 1 ? 1s : 60s);
            QVERIFY(server.waitForRequests(tick));
            QVERIFY(loop.runUntil([] {
                const auto last = CheckOnline::shar().lastRequest();
                return last && last->isFinished();
            }));
            loop.runPending();
            const auto requests = server.requests();
            QCOMPARE(requests.size(), tick);
            QCOMPARE(requests.back().path, std::string(CheckOnline::kPage));
            const auto form = requests.back().form();
            QCOMPARE(form.size(), std::size_t(2));
            QCOMPARE(form[0].name + "=" + form[0].value, std::string("CLIENT=5"));
            QCOMPARE(form[1].name + "=" + form[1].value, std::string("P=second"));
        }
        delete second;
        CheckOnline::resetForTesting();
        loop.runPending();
        MainLoop::setMain(&previous);
    }
};

}  // namespace oa

OA_SHELL_TEST(CountersTest)
#include "CountersTest.moc"
