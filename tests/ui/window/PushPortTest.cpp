// A client of a second home gets no pushes while another client holds the push port, and its
// "更多" page says why instead of a bare "未连接".
#include <QtTest>

#include "core/push/UDPListener.h"
#include "support/FakeDatagramSocket.h"
#include "ui/controller/main/OtherView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

class PushPortTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        UDPListener::resetForTesting();
        UDPListener::setSocketFactory(nullptr);
    }

    void pushChannelRowNamesTheHeldPort_data() {
        QTest::addColumn<QString>("bindError");
        QTest::addColumn<QString>("shown");
        QTest::newRow("held by another client")
            << QString::fromStdString(DatagramSocket::heldBy(UDPListener::kLocalPort))
            << QString("端口 1188 被另一客户端占用");
        QTest::newRow("bound") << QString() << QString("未连接");
        QTest::newRow("other failure") << QString("no network") << QString("未连接");
    }

    void pushChannelRowNamesTheHeldPort() {
        QFETCH(QString, bindError);
        QFETCH(QString, shown);
        qunsetenv(UDPListener::kLocalPortVariable);
        UDPListener::setSocketFactory([bindError] {
            auto socket = std::make_unique<test::FakeDatagramSocket>();
            if (!bindError.isEmpty()) {
                socket->failBindWith(bindError.toStdString());
            }
            return socket;
        });
        UDPListener::getInstance_udp();
        OtherView page;
        page.createView();
        std::unique_ptr<TableViewCell> cell(page.cellForRowAtIndexPath(page.tableView(), {0, 2}));
        QCOMPARE(cell->detailTextLabel()->text(), shown);
    }
};

}  // namespace oa

OA_QT_TEST(PushPortTest)
#include "PushPortTest.moc"
