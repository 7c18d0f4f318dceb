// The workflow page on the real engine against the demo server: the address it loads, its
// "backtomain:" link, the offer after a failed load and the Esc key.
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "WebTest.h"
#include "core/session/GlobalVar.h"
#include "core/transport/ASIHTTPRequest.h"
#include "support/HttpTestServer.h"
#include "ui/controller/main/WorkflowController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/Window.h"

namespace oa {

namespace {

using test::HttpTestServer;

constexpr int kLoadWaitMs = 30000;

// The main index stand-in: a window whose navigation stack presents the workflow page.
struct Host {
    Host()
        : window(QSize(320, 480)), root(new ViewController), nav(new NavigationController(root)) {
        nav->setTransitionDuration(0);
        window.setRootViewController(nav);
        window.makeKeyAndVisible();
    }
    WorkflowController* present() {
        auto* page = new WorkflowController;
        root->presentViewController(page, false);
        return page;
    }
    Window window;
    ViewController* root;
    NavigationController* nav;
};

void clickLink(WorkflowController& page, const QString& selector) {
    page.webView()->runJavaScript(
        QStringLiteral("document.querySelector('%1').click()").arg(selector));
}

}  // namespace

class WorkflowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ASIHTTPRequest::clearSession();
        GlobalVar::getInstance_global().resetForTesting();
        ProgressHUD::resetForTesting();
    }
    void cleanup() { ProgressHUD::resetForTesting(); }

    void onlyBacktomainBeforeTheFirstColonClosesThePage_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("closes");
        QTest::newRow("link") << "backtomain:index" << true;
        QTest::newRow("empty rest") << "backtomain:" << true;
        QTest::newRow("no colon") << "backtomain" << false;
        QTest::newRow("longer scheme") << "backtomainx:index" << false;
        QTest::newRow("http") << "http://oa/backtomain:x" << false;
        QTest::newRow("leading colon") << ":backtomain" << false;
        QTest::newRow("upper case") << "BACKTOMAIN:index" << false;
    }
    void onlyBacktomainBeforeTheFirstColonClosesThePage() {
        QFETCH(QString, url);
        QFETCH(bool, closes);
        QCOMPARE(WorkflowController::isBackToMainLink(url.toStdString()), closes);
    }

    void loadsTheSessionsPageAndClosesByItsLink() {
        QVERIFY(web::signIn());
        Host host;
        QPointer<WorkflowController> page = host.present();
        QSignalSpy finished(page.data(), &WorkflowController::pageFinished);
        QSignalSpy failed(page.data(), &WorkflowController::pageFailed);
        QVERIFY(finished.wait(kLoadWaitMs));
        QCOMPARE(page->view()->geometry(), QRect(0, 0, 320, 480));
        QCOMPARE(page->webView()->url().toString().toStdString(),
                 web::demoServerAddress() +
                     "/mobile/workflow/?P=" + *GlobalVar::getInstance_global().session_id());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);

        clickLink(*page, QStringLiteral("a[href^=\"backtomain\"]"));
        QTRY_VERIFY_WITH_TIMEOUT(page.isNull(), kLoadWaitMs);
        QCOMPARE(host.root->presentedViewController(), nullptr);
        QCOMPARE(failed.count(), 0);
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
    }

    void aFailedPageOffersToReload() {
        HttpTestServer server;
        server.setHandler("/mobile/workflow/", HttpTestServer::rawThenClose(""));
        GlobalVar::getInstance_global().setOa(server.url(""));
        GlobalVar::getInstance_global().setSession_id("s1");
        Host host;
        QPointer<WorkflowController> page = host.present();
        QSignalSpy finished(page.data(), &WorkflowController::pageFinished);
        QSignalSpy failed(page.data(), &WorkflowController::pageFailed);
        QVERIFY(failed.wait(kLoadWaitMs));
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Error);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("加载失败！"));
        QVERIFY(page->failurePanel()->isVisible());

        server.setReply("/mobile/workflow/",
                        {200, {{"Content-Type", "text/html"}}, "<p>工作流</p>"});
        auto* reload = page->failurePanel()->findChild<QPushButton*>(QStringLiteral("reload"));
        QCOMPARE(reload->text(), QStringLiteral("重新加载"));
        QTest::mouseClick(reload, Qt::LeftButton);
        QVERIFY(finished.wait(kLoadWaitMs));
        QVERIFY(!page->failurePanel()->isVisible());
        QVERIFY(!page.isNull());
        QCOMPARE(server.requests().back().target, std::string("/mobile/workflow/?P=s1"));
    }

    void aFailedPageOffersTheWayBack() {
        HttpTestServer server;
        server.setHandler("/mobile/workflow/", HttpTestServer::rawThenClose(""));
        GlobalVar::getInstance_global().setOa(server.url(""));
        Host host;
        QPointer<WorkflowController> page = host.present();
        QSignalSpy failed(page.data(), &WorkflowController::pageFailed);
        QVERIFY(failed.wait(kLoadWaitMs));

        auto* back = page->failurePanel()->findChild<QPushButton*>(QStringLiteral("backToMain"));
        QCOMPARE(back->text(), QStringLiteral("返回主界面"));
        QTest::mouseClick(back, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(page.isNull(), kLoadWaitMs);
    }

    // Leaving while the page loads takes the "正在加载..." spinner away with it.
    void closingWhileLoadingLeavesNoSpinner() {
        HttpTestServer server;
        server.setHandler("/mobile/workflow/",
                          [](const test::CapturedRequest&, HttpTestServer::Exchange& exchange) {
                              exchange.holdUntilClosed();
                          });
        GlobalVar::getInstance_global().setOa(server.url(""));
        Host host;
        QPointer<WorkflowController> page = host.present();
        QTRY_COMPARE_WITH_TIMEOUT(ProgressHUD::state(), ProgressHUD::State::Busy, kLoadWaitMs);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("正在加载..."));

        page->backToMain();
        QTRY_VERIFY_WITH_TIMEOUT(page.isNull(), kLoadWaitMs);
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
        server.stop();
    }

    void escapeClosesThePage() {
        QVERIFY(web::signIn());
        Host host;
        QPointer<WorkflowController> page = host.present();
        QSignalSpy finished(page.data(), &WorkflowController::pageFinished);
        QVERIFY(finished.wait(kLoadWaitMs));
        page->webView()->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&host.window));
        QTest::keyClick(page->webView()->inputWidget(), Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(page.isNull(), kLoadWaitMs);
    }
};

}  // namespace oa

OA_QT_TEST(WorkflowTest)

#include "WorkflowTest.moc"
