// Desktop notices of pushed news against a notification service on the test's own session bus:
// one notice for a push while the window is inactive, one for a burst, none while the window is
// in front, the switch is off or the tray paused notices; activating the notice opens the
// conversation; without a service the client carries on and says so once.
#include <QSignalSpy>
#include <QtTest>
#include <mutex>

#include "Desktop.h"
#include "NotificationService.h"
#include "core/platform/Log.h"
#include "ui/controller/main/FuncController.h"
#include "ui/controller/message/MessageController.h"
#include "ui/platform/DesktopNotifications.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

class NotificationsTest : public QObject {
    Q_OBJECT

private slots:
    void pushesWhileInactiveMakeOneNotice_data() {
        QTest::addColumn<int>("pushes");
        QTest::addColumn<QString>("body");
        QTest::newRow("one message: its first line") << 1 << QStringLiteral("下午三点开会");
        QTest::newRow("a burst: how many") << 3 << QStringLiteral("3 条新消息");
    }

    void pushesWhileInactiveMakeOneNotice() {
        QFETCH(int, pushes);
        QFETCH(QString, body);
        test::NotificationService service;
        QVERIFY(service.isRegistered());
        desktop::SignedIn client;
        QVERIFY(client.setActive(false));

        QVERIFY(client.pushMessages(pushes));
        QTRY_COMPARE(service.calls().size(), size_t(1));
        const auto& call = service.calls().front();
        QCOMPARE(call.summary, QStringLiteral("微讯 · 李明"));
        QCOMPARE(call.body, body);
        QVERIFY(call.icon.endsWith(QStringLiteral("appicon.svg")));
        QVERIFY(call.actions.contains(QStringLiteral("default")));
        // Nothing follows once the burst was told.
        QTest::qWait(500);
        QCOMPARE(service.calls().size(), size_t(1));
    }

    void noNoticeWhenNotWanted_data() {
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("switchedOn");
        QTest::addColumn<bool>("paused");
        QTest::newRow("window in front") << true << true << false;
        QTest::newRow("switch off") << false << false << false;
        QTest::newRow("paused from the tray") << false << true << true;
    }

    void noNoticeWhenNotWanted() {
        QFETCH(bool, active);
        QFETCH(bool, switchedOn);
        QFETCH(bool, paused);
        test::NotificationService service;
        desktop::SignedIn client;
        QVERIFY(NewsNotifier::setSwitchedOn(switchedOn));
        client.index->news()->setPaused(paused);
        QVERIFY(client.setActive(active));

        QVERIFY(client.pushMessages(1));
        QTest::qWait(700);
        QCOMPARE(service.calls().size(), size_t(0));
    }

    void activatingTheNoticeOpensTheConversation() {
        test::NotificationService service;
        desktop::SignedIn client;
        QVERIFY(client.setActive(false));
        QVERIFY(client.pushMessages(1));
        QTRY_COMPARE(service.calls().size(), size_t(1));

        // Another program's notice is none of ours.
        service.invoke(service.lastId() + 100, QStringLiteral("default"));
        QTest::qWait(200);
        QCOMPARE(client.nav->topViewController(), client.index);

        service.invoke(service.lastId(), QStringLiteral("default"));
        QTRY_VERIFY(qobject_cast<MessageController*>(client.nav->topViewController()));
        const auto* dialog = qobject_cast<MessageController*>(client.nav->topViewController());
        QCOMPARE(dialog->q_id(), std::string("7"));
        QVERIFY(client.window->isActiveWindow());
    }

    // A counter that rose since the last dictionary: the module's name and its newest item.
    void risingCounterNamesTheModuleAndItsNewestItem() {
        test::NotificationService service;
        desktop::SignedIn client;
        client.server.setReply("/mobile/email/data.php",
                               {200,
                                {{"Content-Type", "text/html; charset=utf-8"}},
                                R"([{"q_id":"9","subject":"季度报表\n请查收","read_flag":"0"},)"
                                R"({"q_id":"8","subject":"旧邮件","read_flag":"1"}])"});
        client.index->news()->setGatherFor(std::chrono::milliseconds(100));
        QVERIFY(client.setActive(false));
        client.index->pushReturnMain({{"email", "1"}, {"notify", "4"}});
        client.index->pushReturnMain({{"email", "2"}, {"notify", "3"}});
        QTRY_COMPARE(service.calls().size(), size_t(1));
        QCOMPARE(service.calls().front().summary, QStringLiteral("电子邮件"));
        QCOMPARE(service.calls().front().body, QStringLiteral("季度报表"));

        service.invoke(service.lastId(), QStringLiteral("default"));
        QTRY_VERIFY(qobject_cast<FuncController*>(client.nav->topViewController()));
        QCOMPARE(qobject_cast<FuncController*>(client.nav->topViewController())->func_type(),
                 std::string("email"));
    }

    void withoutServiceOrTrayNothingButOneLogLine() {
        desktop::SignedIn client;
        QVERIFY(client.setActive(false));
        std::mutex mutex;  // loads log from their own threads
        std::vector<std::string> lines;
        const LogSink previous = setLogSink([&](std::string_view line) {
            const std::lock_guard lock(mutex);
            lines.emplace_back(line);
        });
        QSignalSpy dropped(&client.index->news()->notifications(), &DesktopNotifications::dropped);
        QVERIFY(client.pushMessages(1));
        QTRY_COMPARE(dropped.size(), 1);
        QVERIFY(client.pushMessages(1));
        QTRY_COMPARE(dropped.size(), 2);
        setLogSink(previous);
        const std::lock_guard lock(mutex);
        QCOMPARE(std::count_if(lines.begin(), lines.end(),
                               [](const std::string& line) {
                                   return line.find("notification") != std::string::npos;
                               }),
                 1);
    }
};

}  // namespace oa

OA_QT_TEST(NotificationsTest)
#include "NotificationsTest.moc"
