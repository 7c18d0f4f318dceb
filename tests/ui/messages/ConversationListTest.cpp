// The conversation list against a loopback server: rows with their unread colour, badge and
// avatars (the built-in ones without a request, a photo fetched once, never from elsewhere), a
// push notice reloading a hidden page, a tap that clears the row at once and opens the dialog, an
// empty reply, a failed reload, the reload after a dialog, rows of multi-line texts, and an older
// load finishing after a newer one.
#include <QBuffer>
#include <QImage>
#include <QtMath>
#include <QtTest>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "ListPage.h"
#include "core/platform/NotificationCenter.h"
#include "core/push/UDPListener.h"
#include "ui/controller/message/AvatarCache.h"
#include "ui/controller/message/MessageController.h"
#include "ui/controller/message/MessageService.h"
#include "ui/controller/message/MessageView.h"
#include "ui/controller/message/PlainRowCell.h"
#include "ui/kit/JSBadgeView.h"
#include "ui/kit/ViewTags.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

using messages::countRequests;
using messages::Loads;

struct Opened : MessageService {
    std::vector<std::pair<std::string, std::string>> calls;
    void enterMessage(const std::string& id, const std::string& name) override {
        calls.emplace_back(id, name);
    }
};

std::string row(const std::string& id, const std::string& avatar, const std::string& readFlag,
                const std::string& unread) {
    return "{\"q_id\":\"" + id + "\",\"q_name\":\"n" + id + "\",\"avatar\":\"" + avatar +
           "\",\"send_time\":\"10:0" + id + "\",\"read_flag\":\"" + readFlag +
           "\",\"content\":\"hello " + id + "\",\"unread_num\":\"" + unread +
           "\",\"online\":\"1\"}";
}

std::string png(int side = 8) {
    QImage picture(side, side, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes.toStdString();
}

// The page sized as the index sizes it, shown (or not), loading without delay.
struct Page {
    explicit Page(bool shown = true) : view(std::make_unique<MessageView>()), loads(view.get()) {
        view->resize(320, 367);
        view->setMessage_delegate(&opened);
        view->setPullDelay(std::chrono::milliseconds(0));
        if (shown) {
            view->show();
        }
        view->createTableView();
    }
    ~Page() {
        view.reset();
        messages::drain();
    }
    QWidget* rowView(int index) const {
        auto* cell =
            qobject_cast<PlainRowCell*>(view->tableView()->cellForRowAtIndexPath({0, index}));
        return cell ? cell->rowView() : nullptr;
    }
    bool yellow(int index) const {
        QWidget* content = rowView(index);
        return content && content->autoFillBackground() &&
               content->palette().color(QPalette::Window) == QColor(251, 230, 133);
    }
    JSBadgeView* badge(int index) const {
        QWidget* content = rowView(index);
        return content ? viewWithTag<JSBadgeView>(content, MessageView::kBadgeTag) : nullptr;
    }
    QString name(int index) const {
        QWidget* content = rowView(index);
        auto* label = content ? content->findChild<QLabel*>(QStringLiteral("name")) : nullptr;
        return label ? label->text() : QString();
    }
    QPixmap avatar(int index) const {
        QWidget* content = rowView(index);
        auto* label = content ? content->findChild<QLabel*>(QStringLiteral("avatar")) : nullptr;
        return label ? label->pixmap() : QPixmap();
    }
    bool hasAvatar(int index) const { return !avatar(index).isNull(); }

    Opened opened;
    std::unique_ptr<MessageView> view;
    Loads<MessageView> loads;
};

}  // namespace

class ConversationListTest : public QObject {
    Q_OBJECT

private slots:
    void init() { AvatarCache::shared().clear(); }
    void cleanup() {
        messages::drain();
        AvatarCache::shared().clear();
        GlobalVar::getInstance_global().resetForTesting();
    }

    // Unread rows are yellow with a badge by tag; "0" and "" show none. "0" and "1" avatars are
    // the built-in pictures without a request; a photo is fetched once, with the session, and
    // shows once it came, also after later reloads.
    void rowsBadgesAndAvatars() {
        test::HttpTestServer server;
        server.setReply("/mobile/message/data.php",
                        {200,
                         {},
                         "[" + row("1", "0", "0", "12") + "," + row("2", "1", "1", "0") + "," +
                             row("3", "/pic.php?id=7", "1", "") + "]"});
        server.setReply("/pic.php", {200, {{"Content-Type", "image/png"}}, png()});
        messages::pointAt(server);
        Page page;
        QVERIFY(page.loads.waitFor(1));
        QCOMPARE(page.view->list().size(), size_t(3));
        QCOMPARE(page.name(0), QStringLiteral("n1"));
        QVERIFY(page.yellow(0));
        QVERIFY(!page.yellow(1));
        QVERIFY(page.badge(0));
        QCOMPARE(page.badge(0)->badgeText(), QStringLiteral("12"));
        QVERIFY(!page.badge(1));
        QVERIFY(!page.badge(2));
        QVERIFY(page.hasAvatar(0));
        QVERIFY(page.hasAvatar(1));

        QTRY_VERIFY(page.hasAvatar(2));
        QCOMPARE(countRequests(server, "", "/pic.php?id=7&P=S"), 1);
        page.view->tableView()->launchRefreshing();
        QVERIFY(page.loads.waitFor(2));
        QVERIFY(page.hasAvatar(2));
        messages::drain();
        QCOMPARE(countRequests(server, "", "pic.php"), 1);
        QCOMPARE(countRequests(server, "", "avatar"), 0);
    }

    // An avatar is a path on the server: glued to the server's address it must not name another
    // host ("http://server@other/..."), and a full address elsewhere is not fetched at all.
    void avatarsNeverLeaveTheServer() {
        test::HttpTestServer server;
        test::HttpTestServer other;
        const std::string elsewhere = "127.0.0.1:" + std::to_string(other.port());
        server.setReply("/mobile/message/data.php",
                        {200,
                         {},
                         "[" + row("1", "@" + elsewhere + "/steal?x=", "1", "") + "," +
                             row("2", "//" + elsewhere + "/steal?y=", "1", "") + "]"});
        messages::pointAt(server);
        Page page;
        QVERIFY(page.loads.waitFor(1));
        QTRY_COMPARE(countRequests(server, "", "/steal?x=&P=S"), 1);
        messages::drain();
        QCOMPARE(countRequests(server, "", "steal?y="), 0);
        QCOMPARE(other.connectionsAccepted(), 0);
    }

    // A photo of 5,700 x 5,700 pixels (130 MB decoded) is kept at the size of its place in the
    // row, not at its own.
    void largeAvatarIsKeptAtTheSizeDrawn() {
        test::HttpTestServer server;
        server.setReply("/mobile/message/data.php",
                        {200, {}, "[" + row("1", "/big.php?id=1", "1", "") + "]"});
        server.setReply("/big.php", {200, {{"Content-Type", "image/png"}}, png(5700)});
        messages::pointAt(server);
        Page page;
        QVERIFY(page.loads.waitFor(1));
        QTRY_VERIFY_WITH_TIMEOUT(page.hasAvatar(0), 20000);
        const int side = qCeil(40 * qApp->devicePixelRatio());
        QCOMPARE(page.avatar(0).size(), QSize(side, side));
    }

    // A push notice reloads the page while it is hidden; an empty reply says so in the strip
    // and leaves no row to tap.
    void hiddenPageReloadsOnPush() {
        test::HttpTestServer server;
        std::atomic<int> served = 0;
        server.setHandler("/mobile/message/data.php", [&](const test::CapturedRequest&,
                                                          test::HttpTestServer::Exchange& ex) {
            const int n = served++;
            ex.reply({200,
                      {},
                      n == 0   ? "[" + row("1", "0", "1", "") + "]"
                      : n == 1 ? "[" + row("2", "0", "1", "") + "," + row("1", "0", "1", "") + "]"
                               : std::string("[]")});
        });
        messages::pointAt(server);
        Page page(false);
        QVERIFY(page.loads.waitFor(1));
        QCOMPARE(page.view->list().size(), size_t(1));
        NotificationCenter::defaultCenter().post(UDPListener::kMessageUdpResult);
        QVERIFY(page.loads.waitFor(2));
        QCOMPARE(page.view->list().size(), size_t(2));
        QCOMPARE(page.view->tableView()->numberOfRowsInSection(0), 2);

        page.view->show();
        NotificationCenter::defaultCenter().post(UDPListener::kMessageUdpResult);
        QVERIFY(page.loads.waitFor(3));
        QCOMPARE(page.view->tableView()->numberOfRowsInSection(0), 0);
        QTRY_COMPARE(messages::strip(page.view->tableView()), QStringLiteral("无最新数据！"));
        page.view->didSelectRowAtIndexPath(page.view->tableView(), {0, 0});
        QVERIFY(page.opened.calls.empty());
    }

    // A tap clears the colour and badge at once and opens the dialog with the partner; the
    // reload just after shows the server's read state.
    void tapClearsAndOpensTheDialog() {
        test::HttpTestServer server;
        std::atomic<bool> read = false;
        server.setHandler("/mobile/message/data.php", [&](const test::CapturedRequest&,
                                                          test::HttpTestServer::Exchange& ex) {
            ex.reply({200, {}, "[" + row("7", "1", read ? "1" : "0", read ? "0" : "3") + "]"});
        });
        messages::pointAt(server);
        Page page;
        QVERIFY(page.loads.waitFor(1));
        QVERIFY(page.yellow(0));
        QVERIFY(page.badge(0) && page.badge(0)->isVisibleTo(page.rowView(0)));
        read = true;
        const QRectF rect = page.view->tableView()->rectForRowAtIndexPath({0, 0});
        QTest::mouseClick(
            page.view->tableView(), Qt::LeftButton, {},
            QPoint(160, qRound(rect.center().y() - page.view->tableView()->contentOffset())));
        QCOMPARE(page.opened.calls.size(), size_t(1));
        QCOMPARE(page.opened.calls[0].first, std::string("7"));
        QCOMPARE(page.opened.calls[0].second, std::string("n7"));
        // Before any reload came back.
        QCOMPARE(page.loads.finished(), 1);
        QVERIFY(!page.yellow(0));
        QVERIFY(!page.badge(0)->isVisibleTo(page.rowView(0)));

        QVERIFY(page.loads.waitFor(2));
        QVERIFY(!page.yellow(0));
        QVERIFY(!page.badge(0));
    }

    // A failed reload keeps the rows and says the network failed, with the header open (a push)
    // or not (the reload after a tap); leaving a dialog reloads the rows.
    void failedReloadKeepsTheRowsAndLeavingADialogReloads() {
        test::HttpTestServer server;
        std::atomic<int> status = 200;
        std::atomic<bool> sent = false;
        server.setHandler("/mobile/message/data.php", [&](const test::CapturedRequest& request,
                                                          test::HttpTestServer::Exchange& ex) {
            if (messages::field(request, "ATYPE") != "refreshList") {
                ex.reply({200, {}, "[]"});
                return;
            }
            ex.reply({status, {}, "[" + row(sent ? "2" : "1", "0", "1", "") + "]"});
        });
        messages::pointAt(server);
        Page page;
        QVERIFY(page.loads.waitFor(1));
        status = 500;
        NotificationCenter::defaultCenter().post(UDPListener::kMessageUdpResult);
        QVERIFY(page.loads.waitFor(2));
        QCOMPARE(page.view->tableView()->numberOfRowsInSection(0), 1);
        QCOMPARE(page.name(0), QStringLiteral("n1"));
        QTRY_COMPARE(messages::strip(page.view->tableView()),
                     QStringLiteral("网络异常，加载信息失败！"));
        page.view->loadData();
        QVERIFY(page.loads.waitFor(3));
        QCOMPARE(page.name(0), QStringLiteral("n1"));
        QTRY_COMPARE(messages::strip(page.view->tableView()),
                     QStringLiteral("网络异常，加载信息失败！"));

        status = 200;
        sent = true;
        {
            MessageController dialog;
            dialog.setQ_id("1");
            dialog.beginAppearanceTransition(true, false);
            dialog.endAppearanceTransition();
            dialog.beginAppearanceTransition(false, false);
            dialog.endAppearanceTransition();
        }
        QVERIFY(page.loads.waitFor(4));
        QCOMPARE(page.name(0), QStringLiteral("n2"));
    }

    // A text with line breaks shows its first line and "…" in its row.
    void multiLineTextShowsOneLine() {
        test::HttpTestServer server;
        server.setReply("/mobile/message/data.php",
                        {200,
                         {{"Content-Type", "text/plain; charset=utf-8"}},
                         "[{\"q_id\":\"1\",\"content\":\"三点开会\\n别迟到\"}]"});
        messages::pointAt(server);
        Page page;
        QVERIFY(page.loads.waitFor(1));
        auto* shown = page.rowView(0)->findChild<QLabel*>(QStringLiteral("content"));
        QVERIFY(shown);
        QCOMPARE(shown->text(), QStringLiteral("三点开会\n别迟到"));
        QWidget row;
        QLabel* expected = rowLabel(&row, shown->geometry(), 12, 0.498, Qt::AlignLeft,
                                    QStringLiteral("三点开会…"));
        QCOMPARE(shown->grab().toImage(), expected->grab().toImage());
    }

    // A notice that comes while a load is out (its header open) still brings a load of its own:
    // the message it announces may have missed the one running.
    void pushDuringALoadIsNotLost() {
        test::HttpTestServer server;
        std::atomic<int> served = 0;
        server.setHandler("/mobile/message/data.php", [&](const test::CapturedRequest&,
                                                          test::HttpTestServer::Exchange& ex) {
            const int n = served++;
            if (n == 0 && !ex.waitForRelease()) {
                return;
            }
            ex.reply({200, {}, "[" + row(n == 0 ? "1" : "2", "0", "1", "") + "]"});
        });
        messages::pointAt(server);
        Page page;
        QTRY_COMPARE(server.inFlight(), 1);
        QVERIFY(page.view->tableView()->isLoading());
        NotificationCenter::defaultCenter().post(UDPListener::kMessageUdpResult);
        server.release();
        QVERIFY(page.loads.waitFor(2));
        QTRY_COMPARE(served.load(), 2);
        QCOMPARE(page.name(0), QStringLiteral("n2"));
    }

    // Two loads out at once: the one started first finishing last does not replace the rows of
    // the one started after it.
    void olderLoadFinishingLastIsDropped() {
        test::HttpTestServer server;
        std::atomic<int> served = 0;
        server.setHandler("/mobile/message/data.php", [&](const test::CapturedRequest&,
                                                          test::HttpTestServer::Exchange& ex) {
            const int n = served++;
            if (n == 1 && !ex.waitForRelease()) {
                return;
            }
            ex.reply({200, {}, "[" + row(n == 1 ? "1" : "2", "0", "1", "") + "]"});
        });
        messages::pointAt(server);
        Page page;
        QVERIFY(page.loads.waitFor(1));
        page.view->loadData();  // held
        QVERIFY(server.waitForInFlight(1));
        page.view->loadData();
        QVERIFY(page.loads.waitFor(2));
        QCOMPARE(page.name(0), QStringLiteral("n2"));
        server.release();
        QVERIFY(page.loads.waitFor(3));
        QCOMPARE(page.view->list().size(), size_t(1));
        QCOMPARE(page.view->list()[0]->q_id, Text("2"));
        QCOMPARE(page.name(0), QStringLiteral("n2"));
    }
};

}  // namespace oa

OA_QT_TEST(ConversationListTest)
#include "ConversationListTest.moc"
