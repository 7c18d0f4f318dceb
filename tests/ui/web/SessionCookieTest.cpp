// The session in the web pages: the transport's cookies reach the pages a web view loads, follow
// a new sign-in, and leave when the transport forgets them.
#include <QDeadlineTimer>
#include <QNetworkCookie>
#include <QSignalSpy>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QtTest>
#include <optional>
#include <string>

#include "WebTest.h"
#include "core/session/GlobalVar.h"
#include "core/transport/ASIFormDataRequest.h"
#include "support/HttpTestServer.h"
#include "ui/platform/WebEngine.h"
#include "ui/platform/WebView.h"

namespace oa {

namespace {

using test::CannedReply;
using test::HttpTestServer;

constexpr int kLoadWaitMs = 30000;

void transportPost(const HttpTestServer& server, const std::string& path) {
    auto request = ASIFormDataRequest::requestWithURL(server.url(path));
    request->setPostValue("k", "v");
    request->setTimeOutSeconds(10);
    request->startSynchronous();
    QVERIFY(!request->error());
}

// The Cookie header of the last request that reached `path`.
std::optional<std::string> lastCookie(const HttpTestServer& server, const std::string& path) {
    std::optional<std::string> cookie;
    for (const auto& request : server.requests()) {
        if (request.path == path) {
            cookie = request.header("Cookie").value_or("");
        }
    }
    return cookie;
}

bool loadIn(WebView& view, const QUrl& url) {
    QSignalSpy finished(&view, &WebView::didFinishLoad);
    view.loadRequest(url);
    return finished.wait(kLoadWaitMs);
}

// Empty when the page did not answer in time.
QString pageText(WebView& view) {
    QString text;
    bool done = false;
    view.runJavaScript(QStringLiteral("document.body ? document.body.innerText : ''"),
                       [&](const QVariant& value) {
                           text = value.toString();
                           done = true;
                       });
    QDeadlineTimer deadline(kLoadWaitMs);
    while (!done && !deadline.hasExpired()) {
        QTest::qWait(20);
    }
    return text;
}

}  // namespace

class SessionCookieTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ASIHTTPRequest::clearSession();
        GlobalVar::getInstance_global().resetForTesting();
    }
    void cleanup() { ASIHTTPRequest::clearSession(); }

    void pagesCarryTheTransportsCookiesAsTheyChange() {
        HttpTestServer server;
        server.setReply("/first",
                        {200, {{"Set-Cookie", "OA_SESSION=first; Path=/; HttpOnly"}}, ""});
        server.setReply("/second", {200, {{"Set-Cookie", "OA_SESSION=second; Path=/"}}, ""});
        server.setReply("/page", {200, {{"Content-Type", "text/html"}}, "<p>page</p>"});
        const QUrl page(QString::fromStdString(server.url("/page")));
        WebView view;

        transportPost(server, "/first");
        QVERIFY(loadIn(view, page));
        QCOMPARE(lastCookie(server, "/page"), std::optional<std::string>("OA_SESSION=first"));

        transportPost(server, "/second");
        QVERIFY(loadIn(view, page));
        QCOMPARE(lastCookie(server, "/page"), std::optional<std::string>("OA_SESSION=second"));

        ASIHTTPRequest::clearSession();
        QVERIFY(loadIn(view, page));
        QCOMPARE(lastCookie(server, "/page"), std::optional<std::string>(""));
    }

    // The engine has the new session cookie as soon as the sign-in has ended, before any load.
    void aSignInCopiesItsCookieAtOnce() {
        // The engine reports its cookies once it has shown a page.
        WebView view;
        QVERIFY(loadIn(view, QUrl(QStringLiteral("about:blank"))));
        QSignalSpy added(qobject_cast<QWebEngineProfile*>(webProfile())->cookieStore(),
                         &QWebEngineCookieStore::cookieAdded);
        QVERIFY(web::signIn());
        const QByteArray session =
            QByteArray::fromStdString(*GlobalVar::getInstance_global().session_id());
        auto copied = [&] {
            for (const QList<QVariant>& args : added) {
                const auto cookie = args.at(0).value<QNetworkCookie>();
                if (cookie.name() == "OA_SESSION" && cookie.value() == session) {
                    return true;
                }
            }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(copied(), kLoadWaitMs);
    }

    // The demo server knows the user by the cookie alone when the address has no "P".
    void aPageWithoutTheSessionFieldShowsTheUsersData() {
        QVERIFY(web::signIn());
        WebView view;
        QVERIFY(loadIn(
            view, QUrl(QString::fromStdString(web::demoServerAddress() + "/mobile/workflow/"))));
        const QString text = pageText(view);
        QVERIFY2(text.contains(QStringLiteral("返回主界面")), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("会话已失效")), qPrintable(text));
    }
};

}  // namespace oa

OA_QT_TEST(SessionCookieTest)

#include "SessionCookieTest.moc"
