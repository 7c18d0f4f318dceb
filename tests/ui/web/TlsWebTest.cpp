// The web view against the demo server over TLS with certificates of its own: a read page of a
// server pinned with its key loads; a server without a pin, or pinned with another key, is
// refused, the latter by the check of its key before the engine connects.
#include <QSignalSpy>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "core/protocol/ListRecords.h"
#include "core/protocol/ModuleLogicFactory.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "core/session/TrustPlist.h"
#include "core/session/TrustQuestion.h"
#include "core/transport/CertificatePins.h"
#include "core/transport/ServerCertificate.h"
#include "server/CertificateMaker.h"
#include "server/DemoServer.h"
#include "support/TempHome.h"
#include "ui/platform/PinnedHostCheck.h"
#include "ui/platform/WebView.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

constexpr int kLoadWaitMs = 30000;
// The pin of a key no test server has (Base64 of 32 bytes).
constexpr char kOtherPin[] = "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";

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
        PinnedHostCheck::shared().forget();
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
            if (wrongPin) {
                // Refused by the check of the key, before the engine connects at all.
                QCOMPARE(failed.first().first().toString(),
                         QString::fromUtf8(TrustQuestion::kChangedTitle));
            }
        }
    }

    // The check behind every load from a pinned server: unpinned servers are left to the engine;
    // a pinned one counts as checked only after it presented that very pin to a handshake, and
    // not after its pin changed.
    void pinnedServersAreCheckedByTheirKey() {
        TlsServer server("check");
        QVERIFY(server.server);
        const std::string page = server.address() + "/mobile/login.php";
        PinnedHostCheck& check = PinnedHostCheck::shared();
        using Verdict = PinnedHostCheck::Verdict;
        QCOMPARE(check.verdict("http://" + server.hostPort() + "/"), Verdict::Unpinned);
        QCOMPARE(check.verdict(page), Verdict::Unpinned);

        const auto checked = [&] {
            std::optional<std::pair<bool, std::string>> result;
            check.check(page, [&](bool ok, const std::string& why) { result.emplace(ok, why); });
            return QTest::qWaitFor([&] { return result.has_value(); }, kLoadWaitMs) ? result
                                                                                    : std::nullopt;
        };
        QVERIFY(TrustPlist().trust({server.hostPort(), kOtherPin, "another key"}));
        QCOMPARE(check.verdict(page), Verdict::Unchecked);
        const auto refused = checked();
        QVERIFY(refused && !refused->first);
        QCOMPARE(refused->second, std::string(TrustQuestion::kChangedTitle));
        QCOMPARE(check.verdict(page), Verdict::Unchecked);

        QVERIFY(TrustPlist().trust({server.hostPort(), server.pin, "its key"}));
        const auto passed = checked();
        QVERIFY(passed && passed->first);
        QCOMPARE(check.verdict(page), Verdict::Checked);
        QVERIFY(TrustPlist().trust({server.hostPort(), kOtherPin, "another key"}));
        QCOMPARE(check.verdict(page), Verdict::Unchecked);
    }

private:
    std::unique_ptr<test::TempHome> home_;
};

}  // namespace oa

OA_QT_TEST(TlsWebTest)

#include "TlsWebTest.moc"
