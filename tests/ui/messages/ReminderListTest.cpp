// The reminder list against a loopback server: what a tap opens by the reminder's kind, the
// mark-read request sent once, the reload after it (the read reminder gone, or an empty list
// saying there is nothing older), a row tapped while the rows are gone, a failed pull that keeps
// the rows, and push notices that do not reload it.
#include <QtTest>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ListPage.h"
#include "core/platform/NotificationCenter.h"
#include "core/push/UDPListener.h"
#include "ui/controller/message/PlainRowCell.h"
#include "ui/controller/reminder/SmsView.h"
#include "ui/controller/reminder/SmsViewdelegate.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

using messages::countRequests;
using messages::Loads;

struct Index : SmsViewdelegate {
    std::vector<std::string> opened;  // "module:<key>" or "page:<address>"
    void ChoiceFunc(const std::string& key, const std::string& title) override {
        opened.push_back("module:" + key + (title.empty() ? ":untitled" : ""));
    }
    void showSmsViewWith(const std::string& address) override {
        opened.push_back("page:" + address);
    }
};

std::string reminder(const std::string& id, const std::string& kind) {
    return "{\"q_id\":\"" + id + "\",\"sms_url\":\"/u/" + id + "\",\"sms_type\":\"" + kind +
           "\",\"time\":\"09:00\",\"from_name\":\"f" + id + "\",\"content\":\"c" + id + "\"}";
}

// The reminder server: the list holds the reminders not marked read yet.
using Rows = std::vector<std::pair<std::string, std::string>>;

struct Server {
    test::HttpTestServer http;
    std::mutex mutex;
    std::vector<std::pair<std::string, std::string>> unread;
    std::atomic<int> status = 200;
    explicit Server(Rows rows) : unread(std::move(rows)) {
        http.setHandler("/mobile/sms/data.php", [this](const test::CapturedRequest& request,
                                                       test::HttpTestServer::Exchange& ex) {
            std::lock_guard lock(mutex);
            if (messages::field(request, "ATYPE") == "readsms") {
                std::erase_if(unread, [&](const auto& r) {
                    return r.first == messages::field(request, "SMS_ID");
                });
                ex.reply({200, {}, "OK"});
                return;
            }
            std::string body = "[";
            for (const auto& [id, kind] : unread) {
                body += (body.size() > 1 ? "," : "") + reminder(id, kind);
            }
            ex.reply({status, {}, body + "]"});
        });
        messages::pointAt(http);
    }
};

struct Page {
    Page() : view(std::make_unique<SmsView>()), loads(view.get()) {
        view->resize(320, 367);
        view->setSms_delegate(&index);
        view->setDelay(std::chrono::milliseconds(0));
        view->show();
        view->createTableView();
    }
    ~Page() {
        view.reset();
        messages::drain();
    }
    void tap(int row) {
        const QRectF rect = view->tableView()->rectForRowAtIndexPath({0, row});
        QTest::mouseClick(
            view->tableView(), Qt::LeftButton, {},
            QPoint(160, qRound(rect.center().y() - view->tableView()->contentOffset())));
    }
    QString content(int row) const {
        auto* cell =
            qobject_cast<PlainRowCell*>(view->tableView()->cellForRowAtIndexPath({0, row}));
        auto* label = cell && cell->rowView()
                          ? cell->rowView()->findChild<QLabel*>(QStringLiteral("content"))
                          : nullptr;
        return label ? label->text() : QString();
    }

    Index index;
    std::unique_ptr<SmsView> view;
    Loads<SmsView> loads;
};

}  // namespace

class ReminderListTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        messages::drain();
        GlobalVar::getInstance_global().resetForTesting();
    }

    // Kinds by their leading digits: 1 the notices, 7 and "41x" the workflow, 3 and "abc" the
    // reminder's own page.
    void kindsOpenTheirTargets_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("opened");
        QTest::newRow("1") << "1"
                           << "module:notify";
        QTest::newRow("7") << "7"
                           << "module:workflow";
        QTest::newRow("41x") << "41x"
                             << "module:workflow";
        QTest::newRow("3") << "3"
                           << "page:/u/5";
        QTest::newRow("abc") << "abc"
                             << "page:/u/5";
    }
    void kindsOpenTheirTargets() {
        QFETCH(QString, kind);
        QFETCH(QString, opened);
        Server server(Rows{{"5", kind.toStdString()}});
        Page page;
        QVERIFY(page.loads.waitFor(1));
        QCOMPARE(page.content(0), QStringLiteral("c5"));
        page.tap(0);
        QCOMPARE(page.index.opened.size(), size_t(1));
        QCOMPARE(QString::fromStdString(page.index.opened[0]), opened);
    }

    // A tap marks the reminder read once; the reload after it no longer shows it, with "up" as
    // its state. The last one gone: the table empties and says there is nothing older.
    void markReadOnceThenReload() {
        Server server(Rows{{"5", "1"}, {"6", "3"}});
        Page page;
        QVERIFY(page.loads.waitFor(1));
        QCOMPARE(page.view->list().size(), size_t(2));
        page.tap(0);
        QVERIFY(page.loads.waitFor(2));
        QCOMPARE(page.view->state(), std::string("up"));
        QCOMPARE(countRequests(server.http, "SMS_ID", "5"), 1);
        QCOMPARE(page.view->list().size(), size_t(1));
        QCOMPARE(page.content(0), QStringLiteral("c6"));

        page.tap(0);
        QVERIFY(page.loads.waitFor(3));
        QCOMPARE(countRequests(server.http, "SMS_ID", "6"), 1);
        QCOMPARE(countRequests(server.http, "ATYPE", "readsms"), 2);
        QCOMPARE(page.view->tableView()->numberOfRowsInSection(0), 0);
        QTRY_COMPARE(messages::strip(page.view->tableView()), QStringLiteral("没有更早的数据！"));
        QCOMPARE(page.index.opened, (std::vector<std::string>{"module:notify", "page:/u/6"}));
    }

    // A pull-down empties the rows at once: a tap then does nothing. An empty list after a
    // pull-down says there is nothing new.
    void pullDownEmptiesAndSaysNothingNew() {
        Server server(Rows{{"5", "1"}});
        Page page;
        QVERIFY(page.loads.waitFor(1));
        {
            std::lock_guard lock(server.mutex);
            server.unread.clear();
        }
        page.view->setDelay(std::chrono::milliseconds(200));
        page.view->tableView()->launchRefreshing();
        QTRY_VERIFY(page.view->list().empty());
        page.view->didSelectRowAtIndexPath(page.view->tableView(), {0, 0});
        QVERIFY(page.index.opened.empty());
        QVERIFY(page.loads.waitFor(2));
        QCOMPARE(page.view->state(), std::string("down"));
        QTRY_COMPARE(messages::strip(page.view->tableView()), QStringLiteral("无最新数据！"));
        QCOMPARE(countRequests(server.http, "ATYPE", "readsms"), 0);
    }

    // A pull whose load fails brings the rows back and says the network failed.
    void failedPullKeepsTheRows() {
        Server server(Rows{{"5", "1"}});
        Page page;
        QVERIFY(page.loads.waitFor(1));
        server.status = 503;
        page.view->tableView()->launchRefreshing();
        QVERIFY(page.loads.waitFor(2));
        QCOMPARE(page.view->list().size(), size_t(1));
        QCOMPARE(page.content(0), QStringLiteral("c5"));
        QTRY_COMPARE(messages::strip(page.view->tableView()),
                     QStringLiteral("网络异常，加载信息失败！"));
    }

    // Push notices of messages leave the reminder list alone.
    void pushesDoNotReload() {
        Server server(Rows{{"5", "1"}});
        Page page;
        QVERIFY(page.loads.waitFor(1));
        const std::size_t before = server.http.requests().size();
        NotificationCenter::defaultCenter().post(UDPListener::kMessageUdpResult);
        QTest::qWait(50);
        messages::drain();
        QCOMPARE(server.http.requests().size(), before);
        QCOMPARE(page.loads.finished(), 1);
    }
};

}  // namespace oa

OA_QT_TEST(ReminderListTest)
#include "ReminderListTest.moc"
