// The client as its user starts it: a second start for the same home brings the running window
// to the front and ends with 0; a start for another home is a client of its own.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

constexpr int kWaitMs = 30000;

class Client {
public:
    Client(const QString& home, const QString& runtime) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        process_.setProcessEnvironment(env);
        process_.start(QStringLiteral(OA_CLIENT_PATH), {QStringLiteral("--home"), home});
        process_.waitForStarted(kWaitMs);
    }
    ~Client() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(kWaitMs);
        }
    }
    QProcess& process() { return process_; }
    // Waits until the process has written `text` to stderr.
    bool waitForLog(const QByteArray& text) {
        QDeadlineTimer deadline(kWaitMs);
        while (!log_.contains(text) && !deadline.hasExpired() &&
               process_.state() == QProcess::Running) {
            process_.waitForReadyRead(100);
            log_ += process_.readAllStandardError();
        }
        return log_.contains(text);
    }

private:
    QProcess process_;
    QByteArray log_;
};

}  // namespace

class OneClientTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(runtime_.emplace().isValid());
        QFile::setPermissions(runtime_->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void secondStartRaisesTheFirstAndEnds() {
        QTemporaryDir home;
        Client first(home.path(), runtime_->path());
        QVERIFY(waitForSocket());

        QProcess second;
        second.setProcessEnvironment(first.process().processEnvironment());
        second.start(QStringLiteral(OA_CLIENT_PATH), {QStringLiteral("--home"), home.path()});
        QVERIFY(second.waitForFinished(kWaitMs));
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(first.waitForLog("window brought to front"));
        QCOMPARE(first.process().state(), QProcess::Running);
    }

    void anotherHomeIsAnotherClient() {
        QTemporaryDir homeA;
        QTemporaryDir homeB;
        Client first(homeA.path(), runtime_->path());
        QVERIFY(waitForSocket());
        Client second(homeB.path(), runtime_->path());
        QTRY_COMPARE_WITH_TIMEOUT(sockets(), 2, kWaitMs);
        QCOMPARE(second.process().state(), QProcess::Running);
    }

private:
    int sockets() const {
        return QDir(runtime_->path()).entryList({QStringLiteral("*.sock")}, QDir::System).size();
    }
    bool waitForSocket() const {
        QDeadlineTimer deadline(kWaitMs);
        while (sockets() == 0 && !deadline.hasExpired()) {
            QTest::qWait(50);
        }
        return sockets() > 0;
    }

    std::optional<QTemporaryDir> runtime_;
};

}  // namespace oa

OA_QT_TEST(OneClientTest)
#include "OneClientTest.moc"
