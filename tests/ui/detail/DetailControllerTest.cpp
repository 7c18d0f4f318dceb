// The detail screen against the loopback test server: the fetch in the background, "回复" and
// its directory search, failed details, leaving while something loads.
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "core/platform/MainLoop.h"
#include "core/protocol/ListRecords.h"
#include "core/session/GlobalVar.h"
#include "core/transport/ASIHTTPRequest.h"
#include "support/HttpTestServer.h"
#include "ui/controller/detail/DetailController.h"
#include "ui/controller/detail/DetailView.h"
#include "ui/controller/detail/DetailViewRegistry.h"
#include "ui/controller/detail/WebDetailView.h"
#include "ui/controller/write/WriteController.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/Window.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

using test::CannedReply;
using test::HttpTestServer;

constexpr int kWaitMs = 15000;
constexpr char kEmailPage[] = "/mobile/email/data.php";
constexpr char kSearchPage[] = "/mobile/inc/get_contactlist.php";

CannedReply json(std::string body) {
    return {200, {{"Content-Type", "text/plain; charset=utf-8"}}, std::move(body)};
}

// The people a search for "张伟" finds: the name anywhere in it.
const char* kPeople =
    R"([{"user_id":"zhangweihua","user_uid":"11","user_name":"张伟华","priv_name":"职员"},)"
    R"({"user_id":"zhangwei","user_uid":"12","user_name":"张伟","priv_name":"经理"},)"
    R"({"user_id":"zw2","user_uid":"13","user_name":"张伟","priv_name":"职员"}])";

std::shared_ptr<EmailVO> email(Text fromName) {
    auto record = std::make_shared<EmailVO>();
    record->q_id = "31";
    record->from_name = std::move(fromName);
    return record;
}

// A window whose navigation stack pushes the detail screen.
struct Host {
    Host()
        : window(QSize(320, 480)), root(new ViewController), nav(new NavigationController(root)) {
        nav->setTransitionDuration(0);
        window.setRootViewController(nav);
        window.makeKeyAndVisible();
    }
    QPointer<DetailController> push(const std::string& key, std::shared_ptr<BaseVO> record) {
        auto* detail = new DetailController;
        detail->setFunc_type(key);
        detail->setList_vo(std::move(record));
        nav->pushViewController(detail, false);
        return detail;
    }
    Window window;
    ViewController* root;
    NavigationController* nav;
};

// The fetch hands its result to the event loop, so the spy made here sees it.
bool waitShown(DetailController* detail) {
    QSignalSpy shown(detail, &DetailController::detailShown);
    return shown.wait(kWaitMs);
}

BarButton* replyButton(DetailController* detail) {
    return qobject_cast<BarButton*>(detail->rightBarButtonItem());
}

QString formValue(const test::CapturedRequest& request, const std::string& name) {
    for (const auto& part : request.form()) {
        if (part.name == name) {
            return QString::fromStdString(part.value);
        }
    }
    return QStringLiteral("<none>");
}

}  // namespace

class DetailControllerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // E-mails without the engine: the read page itself is tested in the web-engine program.
        DetailViewRegistry::registerView("email", [] { return new DetailView; });
    }
    void init() {
        ASIHTTPRequest::clearSession();
        GlobalVar::getInstance_global().resetForTesting();
        GlobalVar::getInstance_global().setSession_id("s1");
        ProgressHUD::resetForTesting();
    }
    void cleanup() { ProgressHUD::resetForTesting(); }

    void anInternalMailIsAnsweredToItsSenderOnly() {
        HttpTestServer server;
        server.setReply(kEmailPage, json(R"({"q_id":"31","is_webmail":"0","from_user_id":"zw2"})"));
        server.setReply(kSearchPage, json(kPeople));
        GlobalVar::getInstance_global().setOa(server.url(""));
        Host host;
        QPointer<DetailController> detail = host.push("email", email("张伟"));
        QVERIFY(waitShown(detail));
        QVERIFY(detail->detailView());
        QCOMPARE(server.requests().at(0).path, std::string(kEmailPage));
        QCOMPARE(formValue(server.requests().at(0), "Q_ID"), QStringLiteral("31"));
        BarButton* reply = replyButton(detail);
        QVERIFY(reply);
        QCOMPARE(reply->text(), QStringLiteral("回复"));

        QTest::mouseClick(reply, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<WriteController*>(host.nav->topViewController()),
                                 kWaitMs);
        auto* write = qobject_cast<WriteController*>(host.nav->topViewController());
        QCOMPARE(write->func_type(), std::string("email"));
        QCOMPARE(write->userAry().size(), std::size_t(1));
        QCOMPARE(*write->userAry()[0]->user_id, std::string("zw2"));
        QCOMPARE(*write->userAry()[0]->user_uid, std::string("13"));
        const auto search = server.requests().back();
        QCOMPARE(search.path, std::string(kSearchPage));
        QCOMPARE(formValue(search, "KWORD"), QStringLiteral("张伟"));
        QCOMPARE(formValue(search, "P"), QStringLiteral("s1"));
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
    }

    void withoutTheSendersIdEveryoneOfExactlyThatNameIsAddressed() {
        HttpTestServer server;
        server.setReply(kEmailPage, json(R"({"q_id":"31"})"));
        server.setReply(kSearchPage, json(kPeople));
        GlobalVar::getInstance_global().setOa(server.url(""));
        Host host;
        QPointer<DetailController> detail = host.push("email", email("张伟"));
        QVERIFY(waitShown(detail));
        detail->clickToWrite();
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<WriteController*>(host.nav->topViewController()),
                                 kWaitMs);
        auto* write = qobject_cast<WriteController*>(host.nav->topViewController());
        QCOMPARE(write->userAry().size(), std::size_t(2));
        QCOMPARE(*write->userAry()[0]->user_id, std::string("zhangwei"));
        QCOMPARE(*write->userAry()[1]->user_id, std::string("zw2"));
    }

    // An empty search would find the whole staff: a sender without a name searches nothing.
    void aSenderWithoutANameSearchesNothing() {
        HttpTestServer server;
        server.setReply(kEmailPage, json(R"({"q_id":"31","is_webmail":"0"})"));
        server.setReply(kSearchPage, json(kPeople));
        GlobalVar::getInstance_global().setOa(server.url(""));
        Host host;
        QPointer<DetailController> detail = host.push("email", email(""));
        QVERIFY(waitShown(detail));
        detail->clickToWrite();
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<WriteController*>(host.nav->topViewController()),
                                 kWaitMs);
        QVERIFY(qobject_cast<WriteController*>(host.nav->topViewController())->userAry().empty());
        for (const auto& request : server.requests()) {
            QVERIFY(request.path != kSearchPage);
        }
    }

    // While the search runs, "正在加载..." shows and further taps start nothing.
    void tapsDuringTheSearchAreIgnored() {
        HttpTestServer server;
        server.setReply(kEmailPage, json(R"({"q_id":"31","is_webmail":"0"})"));
        server.setHandler(kSearchPage,
                          [](const test::CapturedRequest&, HttpTestServer::Exchange& exchange) {
                              if (exchange.waitForRelease()) {
                                  exchange.reply(json(kPeople));
                              }
                          });
        GlobalVar::getInstance_global().setOa(server.url(""));
        Host host;
        QPointer<DetailController> detail = host.push("email", email("张伟"));
        QVERIFY(waitShown(detail));
        detail->clickToWrite();
        QVERIFY(server.waitForInFlight(1));
        QVERIFY(detail->isSearching());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Busy);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("正在加载..."));
        detail->clickToWrite();
        QTest::mouseClick(replyButton(detail), Qt::LeftButton);
        QCOMPARE(server.inFlight(), 1);

        server.release();
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<WriteController*>(host.nav->topViewController()),
                                 kWaitMs);
        QCOMPARE(host.nav->viewControllers().size(), 3);
        int searches = 0;
        for (const auto& request : server.requests()) {
            searches += request.path == kSearchPage ? 1 : 0;
        }
        QCOMPARE(searches, 1);
    }

    // The search's answer finds the screen gone: nothing is pushed, nothing crashes.
    void leavingDuringTheSearchDropsItsResult() {
        HttpTestServer server;
        server.setReply(kEmailPage, json(R"({"q_id":"31","is_webmail":"0"})"));
        server.setHandler(kSearchPage,
                          [](const test::CapturedRequest&, HttpTestServer::Exchange& exchange) {
                              if (exchange.waitForRelease()) {
                                  exchange.reply(json(kPeople));
                              }
                          });
        GlobalVar::getInstance_global().setOa(server.url(""));
        Host host;
        QPointer<DetailController> detail = host.push("email", email("张伟"));
        QVERIFY(waitShown(detail));
        detail->clickToWrite();
        QVERIFY(server.waitForInFlight(1));
        host.nav->popViewController(false);
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
        QTRY_VERIFY_WITH_TIMEOUT(detail.isNull(), kWaitMs);

        server.release();
        QVERIFY(server.waitForInFlight(0));
        joinBackgroundThreads();
        QCoreApplication::processEvents();
        QCOMPARE(host.nav->topViewController(), host.root);
    }

    void aWebmailHasNoReplyButton() {
        HttpTestServer server;
        server.setReply(kEmailPage, json(R"({"q_id":"31","is_webmail":"1"})"));
        GlobalVar::getInstance_global().setOa(server.url(""));
        Host host;
        QPointer<DetailController> detail = host.push("email", email("张伟"));
        QVERIFY(waitShown(detail));
        QVERIFY(!replyButton(detail));
    }

    // A failed e-mail detail still shows the page (it needs only the list row) and can be
    // answered.
    void aFailedEmailDetailStillOffersReply() {
        HttpTestServer server;
        server.setReply(kEmailPage, {500, {}, "ERROR"});
        GlobalVar::getInstance_global().setOa(server.url(""));
        Host host;
        QPointer<DetailController> detail = host.push("email", email("张伟"));
        QVERIFY(waitShown(detail));
        QVERIFY(detail->detailView());
        QVERIFY(replyButton(detail));
    }

    void aFailedDiaryOrFileDetailSaysSo_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("page");
        QTest::newRow("diary") << "diary"
                               << "/mobile/diary/data.php";
        QTest::newRow("file") << "file_folder"
                              << "/mobile/file_folder/data.php";
        QTest::newRow("public file") << "public_folder"
                                     << "/mobile/file_folder/data.php";
    }
    void aFailedDiaryOrFileDetailSaysSo() {
        QFETCH(QString, key);
        QFETCH(QString, page);
        HttpTestServer server;
        server.setHandler(page.toStdString(), HttpTestServer::rawThenClose(""));
        GlobalVar::getInstance_global().setOa(server.url(""));
        Host host;
        std::shared_ptr<BaseVO> record;
        if (key == "diary") {
            record = std::make_shared<DiaryVO>();
        } else {
            record = std::make_shared<FileVO>();
        }
        record->q_id = "5";
        QPointer<DetailController> detail = host.push(key.toStdString(), record);
        QVERIFY(waitShown(detail));
        auto* view = qobject_cast<WebDetailView*>(detail->detailView());
        QVERIFY(view);
        QVERIFY(!view->webView());
        QVERIFY(view->failureLabel());
        QVERIFY(view->failureLabel()->isVisible());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Error);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("加载失败！"));
    }

    // An empty answer is no failure: the diary simply shows nothing.
    void anEmptyDiaryDetailIsNoFailure() {
        HttpTestServer server;
        server.setReply("/mobile/diary/data.php", json(""));
        GlobalVar::getInstance_global().setOa(server.url(""));
        Host host;
        auto record = std::make_shared<DiaryVO>();
        record->q_id = "5";
        QPointer<DetailController> detail = host.push("diary", record);
        QVERIFY(waitShown(detail));
        auto* view = qobject_cast<WebDetailView*>(detail->detailView());
        QVERIFY(view);
        QVERIFY(!view->webView());
        QVERIFY(!view->failureLabel());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
    }

    // A schedule entry needs no request; a key without a view shows an empty screen.
    void viewsComeFromTheRegistry() {
        Host host;
        auto entry = std::make_shared<CalendarVO>();
        entry->cal_type = "个人事务";
        QPointer<DetailController> calendar = host.push("calendar", entry);
        QVERIFY(waitShown(calendar));
        QCOMPARE(calendar->detailView()->metaObject()->className(), "oa::CalendarDetailView");

        DetailViewRegistry::registerView("test_lookup", [] { return new DetailView; });
        QPointer<DetailController> lookup = host.push("test_lookup", nullptr);
        QVERIFY(waitShown(lookup));
        QVERIFY(lookup->detailView());
        QPointer<DetailController> unknown = host.push("no_such_key", nullptr);
        QVERIFY(waitShown(unknown));
        QVERIFY(!unknown->detailView());
    }

    // Leaving while the detail loads: the spinner goes, the late result is dropped.
    void leavingWhileTheDetailLoads() {
        HttpTestServer server;
        server.setHandler(kEmailPage,
                          [](const test::CapturedRequest&, HttpTestServer::Exchange& exchange) {
                              if (exchange.waitForRelease()) {
                                  exchange.reply(json(R"({"q_id":"31"})"));
                              }
                          });
        GlobalVar::getInstance_global().setOa(server.url(""));
        Host host;
        QPointer<DetailController> detail = host.push("email", email("张伟"));
        QVERIFY(server.waitForInFlight(1));
        ProgressHUD::showWithStatus(QStringLiteral("正在加载..."));
        host.nav->popViewController(false);
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
        QTRY_VERIFY_WITH_TIMEOUT(detail.isNull(), kWaitMs);
        server.release();
        QVERIFY(server.waitForInFlight(0));
        joinBackgroundThreads();
        QCoreApplication::processEvents();
        QCOMPARE(host.nav->topViewController(), host.root);
    }
};

}  // namespace oa

OA_QT_TEST(DetailControllerTest)

#include "DetailControllerTest.moc"
