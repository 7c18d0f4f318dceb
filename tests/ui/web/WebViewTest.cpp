// The web view on the real engine: loading feedback, the owner's decision on links (refused
// links show neither loading nor failure), new-window links, downloads and fitting to width.
#include <QSignalSpy>
#include <QtTest>
#include <string>
#include <vector>

#include "WebTest.h"
#include "support/HttpTestServer.h"
#include "ui/platform/WebView.h"

namespace oa {

namespace {

using test::CannedReply;
using test::HttpTestServer;

constexpr int kLoadWaitMs = 30000;

CannedReply html(const std::string& body) {
    return {200,
            {{"Content-Type", "text/html; charset=utf-8"}},
            "<html><body>" + body + "</body></html>"};
}

QUrl urlOf(const HttpTestServer& server, const std::string& path) {
    return QUrl(QString::fromStdString(server.url(path)));
}

// Clicks the element with the id as a script does.
void click(WebView& view, const QString& id) {
    view.runJavaScript(QStringLiteral("document.getElementById('%1').click()").arg(id));
}

// Clicks the middle of the element with the id with the mouse, as a finger would tap it.
bool tap(WebView& view, const QString& id) {
    QVariant box;
    bool answered = false;
    view.runJavaScript(
        QStringLiteral("(function(){var r=document.getElementById('%1').getBoundingClientRect();"
                       "return [r.left+r.width/2, r.top+r.height/2];})()")
            .arg(id),
        [&](const QVariant& result) {
            box = result;
            answered = true;
        });
    if (!QTest::qWaitFor([&] { return answered; }, kLoadWaitMs)) {
        return false;
    }
    const QVariantList centre = box.toList();
    if (centre.size() != 2) {
        return false;
    }
    const QPoint at(qRound(centre[0].toDouble() * view.zoomFactor()),
                    qRound(centre[1].toDouble() * view.zoomFactor()));
    QTest::mouseClick(view.inputWidget(), Qt::LeftButton, {}, at);
    return true;
}

}  // namespace

class WebViewTest : public QObject {
    Q_OBJECT

private slots:
    void loadsALoopbackPageWithStartAndFinish() {
        HttpTestServer server;
        server.setReply("/page", html("<h1 id=t>你好</h1>"));
        WebView view;
        view.resize(320, 416);
        QSignalSpy started(&view, &WebView::didStartLoad);
        QSignalSpy finished(&view, &WebView::didFinishLoad);
        QSignalSpy failed(&view, &WebView::didFailLoad);

        view.loadRequest(urlOf(server, "/page"));
        QVERIFY(finished.wait(kLoadWaitMs));
        QCOMPARE(started.count(), 1);
        QCOMPARE(failed.count(), 0);
        QVERIFY(!view.isLoadingPage());
        QCOMPARE(server.requests().front().path, std::string("/page"));
    }

    // The owner sees each link's fully encoded text; a refused "message:" link loads nothing
    // and reports nothing, while the next allowed link loads as usual.
    void refusedLinksShowNeitherLoadingNorFailure() {
        HttpTestServer server;
        server.setReply("/page",
                        html("<a id=att href=\"message:1,/mobile/attach.php?ATTACHMENT_ID=5&amp;"
                             "NAME=%E6%96%87 x\">附件</a><a id=next href=\"/next\">next</a>"));
        server.setReply("/next", html("next page"));
        WebView view;
        view.resize(320, 416);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        std::vector<std::pair<std::string, WebView::NavigationType>> asked;
        view.setShouldStartLoadWithRequest(
            [&asked](const std::string& url, WebView::NavigationType type) {
                asked.emplace_back(url, type);
                return url.rfind("message:", 0) != 0;
            });
        QSignalSpy started(&view, &WebView::didStartLoad);
        QSignalSpy finished(&view, &WebView::didFinishLoad);
        QSignalSpy failed(&view, &WebView::didFailLoad);
        view.loadRequest(urlOf(server, "/page"));
        QVERIFY(finished.wait(kLoadWaitMs));

        QVERIFY(tap(view, QStringLiteral("att")));
        QTRY_COMPARE_WITH_TIMEOUT(asked.size(), std::size_t(2), kLoadWaitMs);
        QCOMPARE(asked[1].first,
                 std::string("message:1,/mobile/attach.php?ATTACHMENT_ID=5&NAME=%E6%96%87%20x"));
        QCOMPARE(asked[1].second, WebView::NavigationType::LinkClicked);

        // Whatever the engine reports about the refused link comes before the next page.
        click(view, QStringLiteral("next"));
        QVERIFY(finished.wait(kLoadWaitMs));
        QCOMPARE(failed.count(), 0);
        QCOMPARE(started.count(), 2);
        QCOMPARE(finished.count(), 2);
        QCOMPARE(view.url().path(), QStringLiteral("/next"));
        QCOMPARE(asked.back().first, server.url("/next"));
    }

    void newWindowLinksOpenInPlace() {
        HttpTestServer server;
        server.setReply("/page", html("<a id=blank target=_blank href=\"/other\">other</a>"));
        server.setReply("/other", html("other"));
        WebView view;
        QSignalSpy finished(&view, &WebView::didFinishLoad);
        view.loadRequest(urlOf(server, "/page"));
        QVERIFY(finished.wait(kLoadWaitMs));

        click(view, QStringLiteral("blank"));
        QTRY_COMPARE_WITH_TIMEOUT(view.url().path(), QStringLiteral("/other"), kLoadWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(server.requests().size() >= 2, kLoadWaitMs);
    }

    void aPageThatCannotLoadIsAFailure() {
        HttpTestServer server;
        server.setHandler("/gone", HttpTestServer::rawThenClose(""));
        WebView view;
        QSignalSpy started(&view, &WebView::didStartLoad);
        QSignalSpy finished(&view, &WebView::didFinishLoad);
        QSignalSpy failed(&view, &WebView::didFailLoad);
        view.loadRequest(urlOf(server, "/gone"));
        QVERIFY(failed.wait(kLoadWaitMs));
        QCOMPARE(started.count(), 1);
        QCOMPARE(finished.count(), 0);
        QVERIFY(!view.isLoadingPage());
    }

    // A page replaced before it finished (the next link, a new address) was not a failure.
    void aLoadCutShortByTheNextIsNoFailure() {
        HttpTestServer server;
        server.setHandler("/slow",
                          [](const test::CapturedRequest&, HttpTestServer::Exchange& exchange) {
                              if (exchange.waitForRelease()) {
                                  exchange.reply(html("slow"));
                              }
                          });
        server.setReply("/fast", html("fast"));
        WebView view;
        QSignalSpy started(&view, &WebView::didStartLoad);
        QSignalSpy finished(&view, &WebView::didFinishLoad);
        QSignalSpy failed(&view, &WebView::didFailLoad);
        view.loadRequest(urlOf(server, "/slow"));
        QTRY_VERIFY_WITH_TIMEOUT(!server.requests().empty(), kLoadWaitMs);
        QVERIFY(started.count() == 1 || started.wait(kLoadWaitMs));

        view.loadRequest(urlOf(server, "/fast"));
        QTRY_COMPARE_WITH_TIMEOUT(view.url().path(), QStringLiteral("/fast"), kLoadWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!view.isLoadingPage(), kLoadWaitMs);
        server.release();
        QCOMPARE(failed.count(), 0);
        QVERIFY(finished.count() >= 1);
    }

    // The engine shows no PDF itself: the address goes to the owner, and the page that
    // turned into a download is no failure.
    void downloadsGoToTheOwner() {
        HttpTestServer server;
        server.setReply("/page", html("<a id=pdf href=\"/files/plan.pdf\">plan</a>"));
        server.setReply("/files/plan.pdf",
                        {200, {{"Content-Type", "application/pdf"}}, "%PDF-1.4\n%%EOF\n"});
        WebView view;
        std::vector<std::pair<QUrl, QString>> handed;
        view.setDownloadHandler(
            [&handed](const QUrl& url, const QString& name) { handed.emplace_back(url, name); });
        QSignalSpy finished(&view, &WebView::didFinishLoad);
        QSignalSpy failed(&view, &WebView::didFailLoad);
        view.loadRequest(urlOf(server, "/page"));
        QVERIFY(finished.wait(kLoadWaitMs));

        click(view, QStringLiteral("pdf"));
        QTRY_COMPARE_WITH_TIMEOUT(handed.size(), std::size_t(1), kLoadWaitMs);
        QCOMPARE(handed[0].first, urlOf(server, "/files/plan.pdf"));
        QCOMPARE(handed[0].second, QStringLiteral("plan.pdf"));
        QCOMPARE(failed.count(), 0);
        QCOMPARE(view.url().path(), QStringLiteral("/page"));
    }

    void widePagesAreScaledToTheViewsWidth() {
        HttpTestServer server;
        server.setReply("/wide", html("<div style=\"width:960px;height:10px\"></div>"));
        WebView view;
        view.resize(320, 416);
        view.setScalesPageToFit(true);
        QSignalSpy finished(&view, &WebView::didFinishLoad);
        view.loadRequest(urlOf(server, "/wide"));
        QVERIFY(finished.wait(kLoadWaitMs));
        QTRY_VERIFY_WITH_TIMEOUT(view.zoomFactor() < 0.5, kLoadWaitMs);
        QVERIFY(view.zoomFactor() >= 0.25);
    }
};

}  // namespace oa

OA_QT_TEST(WebViewTest)

#include "WebViewTest.moc"
