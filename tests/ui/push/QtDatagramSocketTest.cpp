// The Qt datagram socket on loopback: round trips whose callbacks run on the main thread, sends
// kept in order across name look-ups, one read at a time, and local port 1188's sharing rule:
// beside an IM service bound to 127.0.0.2, but not beside a second client.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QThread>
#include <QtTest>

#include <filesystem>
#include <memory>
#include <vector>

#include "core/platform/PortClaim.h"
#include "core/platform/PosixDatagramSocket.h"
#include "ui/platform/QtDatagramSocket.h"
#include "ui/platform/QtMainLoop.h"

namespace oa {
namespace {

// Collects every datagram `socket` receives, one read at a time, noting the thread.
struct Collector {
    explicit Collector(DatagramSocket& s) : socket(s) { read(); }
    void read() {
        socket.receive([this](DatagramSocket::Datagram datagram) {
            onMainThread.push_back(QThread::currentThread() == qApp->thread());
            texts.push_back(QString::fromStdString(datagram.bytes));
            datagrams.push_back(std::move(datagram));
            read();
        });
    }
    DatagramSocket& socket;
    std::vector<DatagramSocket::Datagram> datagrams;
    QStringList texts;
    std::vector<bool> onMainThread;
};

// A port no socket uses at the moment, found by letting the system pick one.
std::uint16_t freePort() {
    QtDatagramSocket probe;
    return probe.bind(0, "127.0.0.1") ? 0 : probe.localPort();
}

// Removes the lock file of a port the test made up, once nothing holds it any more.
struct RemoveClaimFile {
    std::uint16_t port;
    ~RemoveClaimFile() {
        std::error_code ignored;
        std::filesystem::remove(PortClaim::lockPath(port), ignored);
    }
};

}  // namespace

class QtDatagramSocketTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { MainLoop::setMain(&loop_); }
    void cleanupTestCase() { MainLoop::setMain(nullptr); }

    void roundTripArrivesOnTheMainThreadInOrder() {
        QtDatagramSocket server;
        QtDatagramSocket client;
        QCOMPARE(server.bind(0), std::nullopt);
        QCOMPARE(client.bind(0), std::nullopt);
        Collector collector(server);

        // The name needs a look-up; the literal behind it must not overtake it.
        client.send("localhost", server.localPort(), "v^OK");
        client.send("127.0.0.1", server.localPort(), "n^message");
        client.send("::1", server.localPort(), "n^email");
        client.send("127.0.0.1", server.localPort(), std::string(9216, 'x'));
        QTRY_COMPARE(collector.datagrams.size(), std::size_t(4));

        QCOMPARE(collector.texts.mid(0, 3), QStringList({"v^OK", "n^message", "n^email"}));
        QCOMPARE(collector.datagrams[3].bytes.size(), std::size_t(9216));
        QCOMPARE(collector.datagrams[1].host, std::string("127.0.0.1"));
        QCOMPARE(collector.datagrams[1].port, client.localPort());
        QCOMPARE(collector.datagrams[2].host, std::string("::1"));
        QCOMPARE(collector.onMainThread, std::vector<bool>(4, true));
    }

    void datagramsWaitForTheNextRead() {
        QtDatagramSocket server;
        QtDatagramSocket client;
        QCOMPARE(server.bind(0, "127.0.0.1"), std::nullopt);
        for (const char* text : {"one", "two", "three"}) {
            client.send("127.0.0.1", server.localPort(), text);
        }
        QStringList got;
        auto once = [&](DatagramSocket::Datagram d) { got << QString::fromStdString(d.bytes); };
        server.receive(once);
        QTRY_COMPARE(got.size(), 1);
        QTest::qWait(100);
        QCOMPARE(got.size(), 1);  // no read outstanding, nothing taken
        server.receive(once);
        QTRY_COMPARE(got.size(), 2);
        server.receive(once);
        QTRY_COMPARE(got.size(), 3);
        QCOMPARE(got, QStringList({"one", "two", "three"}));
    }

    void sharesItsPortWithAServiceOnOneLoopbackAddress_data() {
        QTest::addColumn<bool>("clientFirst");
        QTest::newRow("client binds first") << true;
        QTest::newRow("service binds first") << false;
    }

    void sharesItsPortWithAServiceOnOneLoopbackAddress() {
        QFETCH(bool, clientFirst);
        RemoveClaimFile cleanup{0};  // goes after the sockets
        QtDatagramSocket client;
        PosixDatagramSocket service;
        std::uint16_t port = 0;
        if (clientFirst) {
            QCOMPARE(client.bind(0), std::nullopt);
            port = client.localPort();
            QCOMPARE(service.bind(port, "127.0.0.2"), std::nullopt);
        } else {
            QCOMPARE(service.bind(0, "127.0.0.2"), std::nullopt);
            port = service.localPort();
            cleanup.port = port;
            QCOMPARE(client.bind(port), std::nullopt);
        }
        Collector atClient(client);
        Collector atService(service);
        PosixDatagramSocket sender;
        sender.send("127.0.0.2", port, "C^m^l^alice^sbqd^");
        sender.send("127.0.0.1", port, "v^OK");
        QTRY_COMPARE(atClient.texts.size() + atService.texts.size(), qsizetype(2));
        QCOMPARE(atService.texts, QStringList({"C^m^l^alice^sbqd^"}));
        QCOMPARE(atClient.texts, QStringList({"v^OK"}));
        QCOMPARE(atService.onMainThread, std::vector<bool>({true}));
    }

    // Without the claim the system lets a second client bind the shared port as well and hands
    // it the first one's datagrams. The claim holds against both socket implementations, for as
    // long as the first socket lives.
    void oneClientOfTheMachineBindsAFixedPort() {
        const std::uint16_t port = freePort();
        QVERIFY(port != 0);
        RemoveClaimFile cleanup{port};
        const std::string held =
            "local port " + std::to_string(port) + " is held by another client";

        auto first = std::make_unique<QtDatagramSocket>();
        QCOMPARE(first->bind(port), std::nullopt);
        QtDatagramSocket second;
        const auto refused = second.bind(port);
        QVERIFY2(refused == held, refused.value_or("(bound)").c_str());
        PosixDatagramSocket posix;
        QVERIFY(posix.bind(port) == held);
        QtDatagramSocket service;
        QCOMPARE(service.bind(port, "127.0.0.2"), std::nullopt);

        first.reset();
        QtDatagramSocket next;
        QCOMPARE(next.bind(port), std::nullopt);
        Collector atNext(next);
        PosixDatagramSocket sender;
        sender.send("127.0.0.1", port, "v^OK");
        QTRY_COMPARE(atNext.texts, QStringList({"v^OK"}));
    }

    // A bind the system refuses (a program holds the port without sharing it) keeps no claim.
    void failedBindKeepsNoClaim() {
        const std::uint16_t port = freePort();
        QVERIFY(port != 0);
        RemoveClaimFile cleanup{port};
        const int exclusive = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in in{};
        in.sin_family = AF_INET;
        in.sin_port = htons(port);
        if (::bind(exclusive, reinterpret_cast<sockaddr*>(&in), sizeof in) != 0) {
            ::close(exclusive);
            QSKIP("the free port was taken in between");
        }
        QtDatagramSocket socket;
        const bool failed = socket.bind(port).has_value();
        ::close(exclusive);
        QVERIFY(failed);
        QVERIFY(FileLock::tryAcquire(PortClaim::lockPath(port)).held());
    }

    void destroyedSocketRunsNoHandler() {
        QtDatagramSocket sender;
        bool ran = false;
        {
            QtDatagramSocket socket;
            QCOMPARE(socket.bind(0, "127.0.0.1"), std::nullopt);
            socket.receive([&](DatagramSocket::Datagram) { ran = true; });
            sender.send("127.0.0.1", socket.localPort(), "late");
        }
        QTest::qWait(100);
        QVERIFY(!ran);
    }

private:
    QtMainLoop loop_;
};

}  // namespace oa

QTEST_GUILESS_MAIN(oa::QtDatagramSocketTest)
#include "QtDatagramSocketTest.moc"
