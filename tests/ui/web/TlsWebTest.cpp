// The web view against the demo server over TLS with certificates of its own: a read page of a
// server pinned with its key loads; a server without a pin, or pinned with another key, is
// refused.
#include <QSignalSpy>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/protocol/ListRecords.h"
#include "core/protocol/ModuleLogicFactory.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "core/session/TrustPlist.h"
#include "core/transport/CertificatePins.h"
#include "core/transport/ServerCertificate.h"
#include "server/CertificateMaker.h"
#include "server/DemoServer.h"
#include "support/TempHome.h"
#include "ui/platform/WebView.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

constexpr int kLoadWaitMs = 30000;

struct TlsServer {
    std::filesystem::path dir;
    std::string pin;
    std::unique_ptr<DemoServer> server;

    explicit TlsServer(const std::string& name) {
        dir = std::filesystem::temp_directory_path() /
              ("oa-tls-web-" + name + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        std::string error;
        const auto identity = CertificateMaker::make({}, &error).value_or(PemIdentity{});
        const auto certificate = ServerCertificate::fromPem(identity.certificate);
        pin = certificate ? certificate->pin() : std::string();
        std::ofstream(dir / "cert.pem") << identity.certificate;
        std::ofstream(dir / "key.pem") << identity.key;
        ServerOptions options;
        options.host = "127.0.0.1";
        options.httpPort = 0;
        options.imPort = 0;
        options.reset = true;
        options.dbPath = (dir / "demo.sqlite3").string();
        options.tlsCertPath = (dir / "cert.pem").string();
        options.tlsKeyPath = (dir / "key.pem").string();
        server = std::make_unique<DemoServer>(options);
        if (!server->start(&error)) {
            qWarning("TLS demo server: %s", error.c_str());
            server.reset();
        }
    }
    ~TlsServer() {
        server.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    std::string hostPort() const { return "127.0.0.1:" + std::to_string(server->httpPort()); }
    std::string address() const { return "https://" + hostPort(); }
};

bool signIn(const std::string& address) {
    LoginVO record;
    record.name = "wangjianguo";
    record.pwd = "123456";
    record.oa = address;
    LoginBO().login(record);
    return GlobalVar::getInstance_global().session_id().has_value();
}

QString bodyText(WebView& view) {
    QString text;
    bool answered = false;
    view.runJavaScript(QStringLiteral("document.body ? document.body.innerText : ''"),
                       [&](const QVariant& result) {
                           text = result.toString();
                           answered = true;
                       });
    return QTest::qWaitFor([&] { return answered; }, kLoadWaitMs) ? text : QString();
}

}  // namespace

class TlsWebTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        home_ = std::make_unique<test::TempHome>();
        GlobalVar::getInstance_global().resetForTesting();
        TrustPlist::installAsPinSource();
    }
    void cleanup() {
        CertificatePins::shared().setSource({});
        GlobalVar::getInstance_global().resetForTesting();
        home_.reset();
    }

    void readPageOfAPinnedServerLoadsAndOthersAreRefused() {
        TlsServer pinned("pinned");
        TlsServer other("other");
        QVERIFY(pinned.server && other.server);
        QVERIFY(TrustPlist().trust({pinned.hostPort(), pinned.pin, "pinned"}));
        QVERIFY(signIn(pinned.address()));
        const auto list = ModuleLogicFactory::createListLogic("email")->getList();
        QVERIFY(list && !list->empty());
        const std::string id = *list->front()->q_id;
        const std::string session = *GlobalVar::getInstance_global().session_id();
        const std::string read = "/mobile/email/read.php?P=" + session + "&EMAIL_ID=" + id;

        WebView view;
        view.resize(320, 416);
        {
            QSignalSpy finished(&view, &WebView::didFinishLoad);
            QSignalSpy failed(&view, &WebView::didFailLoad);
            view.loadRequest(QUrl(QString::fromStdString(pinned.address() + read)));
            QVERIFY(finished.wait(kLoadWaitMs));
            QCOMPARE(failed.count(), 0);
            QCOMPARE(view.url().path(), QStringLiteral("/mobile/email/read.php"));
            QVERIFY2(!bodyText(view).trimmed().isEmpty(), "the read page shows its text");
        }

        // The same page from a server without a pin, then with a pin of another key.
        for (const bool wrongPin : {false, true}) {
            if (wrongPin) {
                QVERIFY(TrustPlist().trust({other.hostPort(), pinned.pin, "another key"}));
            }
            QSignalSpy failed(&view, &WebView::didFailLoad);
            view.loadRequest(QUrl(QString::fromStdString(other.address() + read)));
            QVERIFY2(failed.wait(kLoadWaitMs), wrongPin ? "wrong pin" : "no pin");
        }
    }

private:
    std::unique_ptr<test::TempHome> home_;
};

}  // namespace oa

OA_QT_TEST(TlsWebTest)

#include "TlsWebTest.moc"
