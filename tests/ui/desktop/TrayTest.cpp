// The tray icon of a signed-in client: made only where the desktop has a tray, the unread total
// on it, its menu and pausing notices, the window kept in the tray when closed (said once), and
// 退出 leaving the push channel before the client ends.
#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QtTest>

#include "Desktop.h"
#include "core/session/PlistManager.h"
#include "ui/controller/main/DesktopTray.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

QStringList menuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("—") : action->text());
    }
    return texts;
}

bool toldOnce() {
    const auto settings = PlistManager().getSetInfo();
    return settings && settings->contains(DesktopTray::kToldKey);
}

struct TrayAvailable {
    explicit TrayAvailable(bool available) { DesktopTray::setAvailableForTesting(available); }
    ~TrayAvailable() { DesktopTray::setAvailableForTesting(std::nullopt); }
};

}  // namespace

class TrayTest : public QObject {
    Q_OBJECT

private slots:
    void trayOnlyWhereTheDesktopHasOne_data() {
        QTest::addColumn<bool>("available");
        QTest::newRow("tray") << true;
        QTest::newRow("no tray") << false;
    }

    // With a tray, closing hides the window and says so the first time only; without one,
    // closing closes as before.
    void trayOnlyWhereTheDesktopHasOne() {
        QFETCH(bool, available);
        const TrayAvailable tray(available);
        desktop::SignedIn client;
        QCOMPARE(client.index->tray() != nullptr, available);

        QCOMPARE(client.window->close(), !available);
        QVERIFY(!client.window->isVisible());
        QCOMPARE(toldOnce(), available);
        if (available) {
            client.index->tray()->open();
            QVERIFY(client.window->isVisible());
            QVERIFY(!client.window->close());
        }
    }

    void badgeMenuPauseAndQuit() {
        const TrayAvailable available(true);
        desktop::SignedIn client;
        DesktopTray* tray = client.index->tray();
        QVERIFY(tray);
        // The unread conversation, and the counters.
        client.index->pushReturnMain({{"email", "3"}, {"notify", "2"}});
        QCOMPARE(tray->unread(), 6);
        QCOMPARE(tray->icon()->toolTip(), QStringLiteral("OA：6 条未读"));

        QCOMPARE(menuTexts(tray->menu()), (QStringList{"打开", "暂停通知", "—", "退出"}));
        tray->pauseAction()->trigger();
        QVERIFY(client.index->news()->isPaused());
        QCOMPARE(tray->pauseAction()->text(), QStringLiteral("恢复通知"));
        tray->pauseAction()->trigger();
        QVERIFY(!client.index->news()->isPaused());
        QCOMPARE(tray->pauseAction()->text(), QStringLiteral("暂停通知"));

        // 退出: no more login datagrams, then the client ends.
        bool quit = false;
        DesktopTray own(client.window.get(), client.index->news(), [&quit] { quit = true; });
        UDPListener::getInstance_udp().announce("L^login");
        own.menu()->actions().last()->trigger();
        QVERIFY(quit);
        QVERIFY(!UDPListener::getInstance_udp().isAnnouncing());
    }
};

}  // namespace oa

OA_QT_TEST(TrayTest)
#include "TrayTest.moc"
