// The sign-in screen against the demo server over TLS with a certificate of its own: the question
// "服务器证书不受信任" with the certificate, "取消" leaving everything untrusted, "信任此证书"
// pinning the key and signing in; and the list of trusted certificates with its remove buttons.
#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextEdit>
#include <QtTest>
#include <any>
#include <filesystem>
#include <fstream>

#include "ShellTest.h"
#include "core/platform/NotificationCenter.h"
#include "core/session/LoginBO.h"
#include "core/session/TrustPlist.h"
#include "core/session/TrustQuestion.h"
#include "core/transport/CertificatePins.h"
#include "core/transport/ServerCertificate.h"
#include "server/CertificateMaker.h"
#include "server/DemoServer.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/main/OtherService.h"
#include "ui/controller/main/OtherView.h"
#include "ui/kit/AlertView.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/TableViewCell.h"
#include "ui/kit/TextField.h"
#include "ui/session/LoginController.h"
#include "ui/session/LoginView.h"
#include "ui/session/TrustListController.h"

namespace oa {

namespace {

constexpr int kReplyMs = 15000;

// The demo server over TLS on 127.0.0.1 with a certificate made here, on a fresh database.
struct TlsServer {
    std::filesystem::path dir;
    PemIdentity identity;
    std::unique_ptr<DemoServer> server;

    TlsServer() {
        dir = std::filesystem::temp_directory_path() /
              ("oa-tls-ui-" + std::to_string(::getpid()) + "-" + std::to_string(++serial()));
        std::filesystem::create_directories(dir);
        std::string error;
        identity = CertificateMaker::make({}, &error).value_or(PemIdentity{});
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
    static int& serial() {
        static int n = 0;
        return n;
    }
    std::string hostPort() const { return "127.0.0.1:" + std::to_string(server->httpPort()); }
    std::string fingerprint() const {
        const auto certificate = ServerCertificate::fromPem(identity.certificate);
        return certificate ? certificate->fingerprint() : std::string();
    }
    std::string pin() const {
        const auto certificate = ServerCertificate::fromPem(identity.certificate);
        return certificate ? certificate->pin() : std::string();
    }
};

class RecordingOtherService : public OtherService {
public:
    void enterSetController() override { calls << "set"; }
    void enterTrustController() override { calls << "trust"; }
    void returnRootController() override { calls << "root"; }
    QStringList calls;
};

QPushButton* removeButtonFor(TrustListController& list, const std::string& hostPort) {
    for (auto* button : list.view()->findChildren<QPushButton*>(QStringLiteral("removeTrust"))) {
        if (button->property("hostPort").toString().toStdString() == hostPort) {
            return button;
        }
    }
    return nullptr;
}

}  // namespace

class TrustSignInTest : public QObject {
    Q_OBJECT

private slots:
    void init() { TrustPlist::installAsPinSource(); }
    void cleanup() { CertificatePins::shared().setSource({}); }

    void untrustedServerAsksAndSignsInOnlyAfterTrust() {
        shell::Environment env;
        TlsServer tls;
        QVERIFY(tls.server);
        shell::Screen screen;
        LoginView* form = screen.login()->loginView();
        form->field(LoginView::kNameTag)->setText("wangjianguo");
        form->field(LoginView::kPasswordTag)->setText("123456");
        form->field(LoginView::kAddressTag)
            ->setText(QString::fromStdString("https://" + tls.hostPort()));
        QSignalSpy finished(screen.login(), &LoginController::loginFinished);

        form->loginEvent();
        QTRY_VERIFY_WITH_TIMEOUT(screen.login()->trustAlert(), kReplyMs);
        AlertView* alert = screen.login()->trustAlert();
        QCOMPARE(alert->title(), QString("服务器证书不受信任"));
        QCOMPARE(alert->buttonTitleAtIndex(alert->cancelButtonIndex()), QString("取消"));
        QCOMPARE(alert->buttonTitleAtIndex(alert->firstOtherButtonIndex()), QString("信任此证书"));
        QVERIFY2(alert->message().contains(QString::fromStdString(tls.fingerprint())),
                 qPrintable(alert->message()));
        QVERIFY(alert->message().contains(QStringLiteral("CN = 127.0.0.1")));
        QVERIFY(alert->message().contains(QStringLiteral("有效期")));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toString(), QString("服务器证书不受信任"));
        QTRY_COMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
        QVERIFY(!screen.topAs<IndexController>());
        QTRY_VERIFY(alert->isVisible());
        QTest::qWait(400);  // the alert's fade-in, for the picture only
        const QString shots = qEnvironmentVariable("OA_TRUST_SCREENSHOT_DIR");
        if (!shots.isEmpty()) {
            QDir().mkpath(shots);
            screen.window()->grab().save(shots + QStringLiteral("/trust-dialog.png"));
        }

        // "取消": nothing trusted, nothing signed in.
        alert->clickButtonAtIndex(alert->cancelButtonIndex());
        QVERIFY(!TrustPlist().find(tls.hostPort()));
        QTest::qWait(0);
        QVERIFY(!screen.topAs<IndexController>());

        // Asked again, "信任此证书" pins the key and the attempt is repeated.
        form->loginEvent();
        QTRY_VERIFY_WITH_TIMEOUT(
            screen.login()->trustAlert() && !screen.login()->trustAlert()->isClosing(), kReplyMs);
        alert = screen.login()->trustAlert();
        alert->clickButtonAtIndex(alert->firstOtherButtonIndex());
        QTRY_VERIFY_WITH_TIMEOUT(screen.topAs<IndexController>(), kReplyMs);
        const auto pinned = TrustPlist().find(tls.hostPort());
        QVERIFY(pinned);
        QCOMPARE(pinned->fingerprint(), tls.fingerprint());
    }

    void trustedListShowsEachServerAndRemovesIt() {
        shell::Environment env;
        TlsServer tls;
        QVERIFY(tls.server);
        QVERIFY(TrustPlist().trust({"a.example:8443", tls.pin(), "CN = a"}));
        QVERIFY(TrustPlist().trust({tls.hostPort(), tls.pin(), "CN = 127.0.0.1"}));

        TrustListController list;
        list.view()->resize(320, 416);
        list.view()->show();
        QCOMPARE(list.entries().size(), std::size_t(2));
        QCOMPARE(list.tableView()->numberOfRowsInSection(0), 2);

        QPushButton* remove = removeButtonFor(list, tls.hostPort());
        QVERIFY(remove);
        QTest::mouseClick(remove, Qt::LeftButton);
        QTRY_COMPARE(list.entries().size(), std::size_t(1));
        QCOMPARE(list.entries().front().hostPort, std::string("a.example:8443"));
        QVERIFY(!TrustPlist().find(tls.hostPort()));
        QVERIFY(TrustPlist().find("a.example:8443"));

        // Removed means refused again.
        LoginVO record;
        record.name = "wangjianguo";
        record.pwd = "123456";
        record.oa = "https://" + tls.hostPort();
        std::any result;
        {
            ObserverToken token = NotificationCenter::defaultCenter().addObserver(
                LoginBO::kLoginResult, [&](const Notification& n) { result = n.object; });
            LoginBO().login(record);
        }
        QVERIFY(std::any_cast<TrustQuestion>(&result));

        QVERIFY(list.removeEntry("a.example:8443"));
        QVERIFY(list.entries().empty());
        QCOMPARE(list.tableView()->numberOfRowsInSection(0), 1);
        QTRY_VERIFY(!removeButtonFor(list, "a.example:8443"));
    }

    void morePageRowOpensTheTrustedList() {
        shell::Environment env;
        RecordingOtherService service;
        OtherView page;
        page.setOther_delegate(&service);
        page.resize(320, 416);
        page.createView();
        page.show();
        TableViewCell* cell = page.cellForRowAtIndexPath(page.tableView(), {0, 1});
        QCOMPARE(cell->textLabel()->text(), QString("受信任的证书"));
        delete cell;
        page.didSelectRowAtIndexPath(page.tableView(), {0, 1});
        page.didSelectRowAtIndexPath(page.tableView(), {0, 0});
        QCOMPARE(service.calls, QStringList({"trust", "set"}));
    }
};

}  // namespace oa

OA_SHELL_TEST(TrustSignInTest)
#include "TrustSignInTest.moc"
