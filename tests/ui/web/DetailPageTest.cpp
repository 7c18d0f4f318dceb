// The detail screen's read pages and the reminder page on the real engine against the demo
// server: a read page loads, its attachment link opens the viewer, and a reminder address whose
// Base64 holds "+", "/" and "=" reaches its page through go.php.
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>
#include <memory>
#include <string>

#include "WebTest.h"
#include "core/protocol/ListRecords.h"
#include "core/protocol/ModuleLogicFactory.h"
#include "core/session/GlobalVar.h"
#include "core/transport/ASIHTTPRequest.h"
#include "support/HttpTestServer.h"
#include "ui/controller/detail/DetailController.h"
#include "ui/controller/detail/WebDetailView.h"
#include "ui/controller/main/AttachmentViewController.h"
#include "ui/controller/main/IndexController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/Window.h"
#include "ui/platform/WebView.h"

namespace oa {

namespace {

constexpr int kLoadWaitMs = 30000;

using test::HttpTestServer;

struct Host {
    Host()
        : window(QSize(320, 480)), root(new ViewController), nav(new NavigationController(root)) {
        nav->setTransitionDuration(0);
        window.setRootViewController(nav);
        window.makeKeyAndVisible();
    }
    Window window;
    ViewController* root;
    NavigationController* nav;
};

// The first e-mail of the signed-in user's list that has attachments.
std::shared_ptr<EmailVO> emailWithAttachment() {
    const auto list = ModuleLogicFactory::createListLogic("email")->getList();
    if (!list) {
        return nullptr;
    }
    for (const auto& record : *list) {
        auto email = std::dynamic_pointer_cast<EmailVO>(record);
        if (email && email->has_attachment == "1") {
            return email;
        }
    }
    return nullptr;
}

QVariant evaluate(WebView& view, const QString& script) {
    QVariant value;
    bool answered = false;
    view.runJavaScript(script, [&](const QVariant& result) {
        value = result;
        answered = true;
    });
    if (!QTest::qWaitFor([&] { return answered; }, kLoadWaitMs)) {
        return {};
    }
    return value;
}

}  // namespace

class DetailPageTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ASIHTTPRequest::clearSession();
        GlobalVar::getInstance_global().resetForTesting();
        ProgressHUD::resetForTesting();
    }
    void cleanup() { ProgressHUD::resetForTesting(); }

    void aReadPageLoadsAndItsAttachmentOpensTheViewer() {
        QVERIFY(web::signIn());
        const auto email = emailWithAttachment();
        QVERIFY(email);
        Host host;
        QPointer<DetailController> detail = new DetailController;
        detail->setFunc_type("email");
        detail->setList_vo(email);
        host.nav->pushViewController(detail, false);
        QSignalSpy shown(detail.data(), &DetailController::detailShown);
        QVERIFY(shown.wait(kLoadWaitMs));
        auto* view = qobject_cast<WebDetailView*>(detail->detailView());
        QVERIFY(view);
        QVERIFY(view->webView());
        QSignalSpy finished(view, &WebDetailView::pageFinished);
        QSignalSpy failed(view, &WebDetailView::pageFailed);
        QVERIFY(finished.wait(kLoadWaitMs));
        const std::string session = *GlobalVar::getInstance_global().session_id();
        QCOMPARE(view->webView()->url().toString().toStdString(),
                 web::demoServerAddress() + "/mobile/email/read.php?P=" + session +
                     "&EMAIL_ID=" + *email->q_id);
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);

        const QString href =
            evaluate(*view->webView(),
                     QStringLiteral("document.querySelector('a[href^=\"message:\"]').href"))
                .toString();
        QVERIFY2(href.size() > 10, qPrintable(href));
        view->webView()->runJavaScript(
            QStringLiteral("document.querySelector('a[href^=\"message:\"]').click()"));
        QTRY_VERIFY_WITH_TIMEOUT(
            qobject_cast<AttachmentViewController*>(host.nav->topViewController()), kLoadWaitMs);
        auto* viewer = qobject_cast<AttachmentViewController*>(host.nav->topViewController());
        QCOMPARE(viewer->attachmentCategory(), href.at(8).digitValue());
        QCOMPARE(QString::fromStdString(viewer->attachmentURL()),
                 QString::fromStdString(web::demoServerAddress()) + href.mid(10));
        // The link was refused, not loaded: the page stays and nothing failed.
        QCOMPARE(failed.count(), 0);
        QVERIFY(ProgressHUD::state() != ProgressHUD::State::Error);
        QCOMPARE(view->webView()->url().path(), QStringLiteral("/mobile/email/read.php"));

        // Escape in the page is "返回", as on every other screen.
        host.nav->popViewController(false);
        QVERIFY(QTest::qWaitForWindowActive(&host.window));
        view->webView()->setFocus();
        QTest::keyClick(view->webView()->inputWidget(), Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(host.nav->topViewController(), host.root, kLoadWaitMs);
    }

    // A notice's page that never answers: "正在加载..." until the screen is left, then nothing.
    void leavingWhileThePageLoadsTakesTheSpinnerAway() {
        HttpTestServer server;
        server.setReply("/mobile/notify/data.php", {200, {}, R"({"q_id":"4"})"});
        server.setHandler("/mobile/notify/read.php",
                          [](const test::CapturedRequest&, HttpTestServer::Exchange& exchange) {
                              exchange.holdUntilClosed();
                          });
        GlobalVar::getInstance_global().setOa(server.url(""));
        GlobalVar::getInstance_global().setSession_id("s1");
        Host host;
        auto notice = std::make_shared<NotifyVO>();
        notice->q_id = "4";
        QPointer<DetailController> detail = new DetailController;
        detail->setFunc_type("notify");
        detail->setList_vo(notice);
        host.nav->pushViewController(detail, false);
        QTRY_COMPARE_WITH_TIMEOUT(ProgressHUD::state(), ProgressHUD::State::Busy, kLoadWaitMs);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("正在加载..."));
        QCOMPARE(server.requests().back().target,
                 std::string("/mobile/notify/read.php?P=s1&NOTIFY_ID=4"));

        host.nav->popViewController(false);
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
        QTRY_VERIFY_WITH_TIMEOUT(detail.isNull(), kLoadWaitMs);
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
        server.stop();
    }

    // A page that does not come, or comes as the server's error text, gives way to the
    // client's own message.
    void aPageThatFailsSaysSo_data() {
        QTest::addColumn<bool>("serverError");
        QTest::newRow("connection closed") << false;
        QTest::newRow("500 with the server's text") << true;
    }
    void aPageThatFailsSaysSo() {
        QFETCH(bool, serverError);
        HttpTestServer server;
        server.setReply("/mobile/news/data.php", {200, {}, R"({"q_id":"4"})"});
        if (serverError) {
            server.setReply("/mobile/news/read.php",
                            {500, {{"Content-Type", "text/html"}}, "Internal Server Error"});
        } else {
            server.setHandler("/mobile/news/read.php", HttpTestServer::rawThenClose(""));
        }
        GlobalVar::getInstance_global().setOa(server.url(""));
        Host host;
        auto news = std::make_shared<NewsVO>();
        news->q_id = "4";
        QPointer<DetailController> detail = new DetailController;
        detail->setFunc_type("news");
        detail->setList_vo(news);
        host.nav->pushViewController(detail, false);
        QSignalSpy shown(detail.data(), &DetailController::detailShown);
        QVERIFY(shown.wait(kLoadWaitMs));
        auto* view = qobject_cast<WebDetailView*>(detail->detailView());
        QVERIFY(view);
        QSignalSpy failed(view, &WebDetailView::pageFailed);
        QVERIFY(failed.wait(kLoadWaitMs));
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Error);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("加载失败！"));
        QVERIFY(!view->webView()->isVisible());
        auto* said = qobject_cast<QLabel*>(view->failureLabel());
        QVERIFY(said && said->isVisible());
        QCOMPARE(said->text(), QStringLiteral("加载失败！"));
    }

    void theReminderPageIsTheViewerOnGoPhp() {
        QVERIFY(web::signIn());
        Host host;
        auto* index = new IndexController;
        host.nav->pushViewController(index, false);
        const std::string address = "/mobile/sms/show.php?SMS_ID=8";
        index->showSmsViewWith(address);
        auto* viewer = qobject_cast<AttachmentViewController*>(host.nav->topViewController());
        QVERIFY(viewer);
        QCOMPARE(viewer->attachmentCategory(), 0);
        QCOMPARE(viewer->attachmentURL(), IndexController::reminderAddress(address));
    }

    // "+", "/" and "=" travel in the query unescaped; the server still finds the page.
    void aBase64WithPlusSlashAndPaddingReachesItsPage() {
        QVERIFY(web::signIn());
        const auto email = emailWithAttachment();
        QVERIFY(email);
        // A further parameter the page ignores, chosen so that the Base64 text has all three.
        std::string address;
        for (char32_t c = 0x4e00; c < 0x9fff && address.empty(); ++c) {
            for (const char* pad : {"", "a", "ab", "abc"}) {
                const QString twice = QString::fromUcs4(&c, 1).repeated(2);
                const std::string candidate = "/mobile/email/read.php?EMAIL_ID=" + *email->q_id +
                                              "&k=" + pad + twice.toStdString();
                const QByteArray encoded = QByteArray::fromStdString(candidate).toBase64();
                if (encoded.contains('+') && encoded.contains('/') && encoded.endsWith('=')) {
                    address = candidate;
                    break;
                }
            }
        }
        QVERIFY(!address.empty());
        const std::string go = IndexController::reminderAddress(address);
        // Escaped as a query value: a "+" left bare would reach the server as a space.
        const std::string value = go.substr(go.find("MobileWebViewURL="));
        QVERIFY(value.find("%2B") != std::string::npos && value.find("%2F") != std::string::npos);
        QVERIFY(value.find_first_of("+/=", std::string("MobileWebViewURL=").size()) ==
                std::string::npos);

        WebView view;
        view.resize(320, 436);
        view.show();
        QSignalSpy finished(&view, &WebView::didFinishLoad);
        QSignalSpy failed(&view, &WebView::didFailLoad);
        view.loadRequest(QUrl(QString::fromStdString(go)));
        QTRY_VERIFY2_WITH_TIMEOUT(
            view.url().path() == QStringLiteral("/mobile/email/read.php") && finished.count() > 0,
            qPrintable(view.url().toString() + QStringLiteral(" failed %1 ").arg(failed.count()) +
                       (failed.isEmpty() ? QString() : failed.first().first().toString())),
            kLoadWaitMs);
        QCOMPARE(failed.count(), 0);
        QCOMPARE(QUrlQuery(view.url()).queryItemValue(QStringLiteral("EMAIL_ID")),
                 QString::fromStdString(*email->q_id));
        const QString subject = QString::fromStdString(email->subject.value_or(""));
        QVERIFY(!subject.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(
            evaluate(view, QStringLiteral("document.body.innerText")).toString().contains(subject),
            kLoadWaitMs);
    }
};

}  // namespace oa

OA_QT_TEST(DetailPageTest)

#include "DetailPageTest.moc"
