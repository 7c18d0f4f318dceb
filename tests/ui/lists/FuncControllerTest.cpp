// The module list screen itself, against a loopback server: the pages drawn in order with their
// end messages in the strip, a key without list logic, the write buttons, a tap that marks read
// and opens the detail, the diary kind control and its overlay, folder steps in the background
// with taps ignored, a screen popped while its loads run, and 10,000 rows through the real
// screen with a screenful of cells.
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "ListScreen.h"
#include "core/protocol/ListRecords.h"
#include "core/session/GlobalVar.h"
#include "support/HttpTestServer.h"
#include "ui/controller/detail/DetailController.h"
#include "ui/controller/main/BaseView.h"
#include "ui/controller/write/WriteController.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/SegmentedControl.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

using lists::ListScreen;

std::string field(const test::CapturedRequest& request, const std::string& name) {
    for (const auto& part : request.form()) {
        if (part.name == name) {
            return part.value;
        }
    }
    return {};
}

// A JSON list reply of records with these ids; unread e-mails unless told otherwise.
std::string reply(const std::vector<std::string>& ids, const std::string& extra = "") {
    std::string out = "[";
    for (const auto& id : ids) {
        out += (out.size() > 1 ? "," : "") + std::string("{\"q_id\":\"") + id +
               "\",\"subject\":\"s" + id + "\",\"read_flag\":\"0\"" + extra + "}";
    }
    return out + "]";
}

void pointAt(test::HttpTestServer& server) {
    GlobalVar::getInstance_global().setOa(server.url(""));
    GlobalVar::getInstance_global().setSession_id(std::string("S"));
}

// What the detail hook was asked for.
struct Opened {
    int count = 0;
    std::string key;
    std::shared_ptr<BaseVO> record;
};

// Routes the list's detail screens to plain screens, noting what was opened.
void captureDetails(Opened& opened) {
    FuncController::setDetailFactory(
        [&opened](const std::string& key, const std::shared_ptr<BaseVO>& record) {
            ++opened.count;
            opened.key = key;
            opened.record = record;
            auto* detail = new ViewController;
            detail->setTitle(QStringLiteral("detail"));
            return detail;
        });
}

// A cabinet: top level folder X and a file; X holds a file. Folder replies wait for release()
// while `hold` is set.
struct Cabinet {
    test::HttpTestServer server;
    std::atomic<bool> hold = false;
    Cabinet() {
        server.setHandler(
            "/mobile/file_folder/data.php",
            [this](const test::CapturedRequest& request, test::HttpTestServer::Exchange& exchange) {
                if (field(request, "A") == "loadList") {
                    exchange.reply({200,
                                    {},
                                    R"([{"q_id":"10","file_type":"folder","name":"X",)"
                                    R"("file_ext":""},{"q_id":"11","file_type":"file",)"
                                    R"("name":"a.pdf","file_ext":"pdf"}])"});
                    return;
                }
                if (hold && !exchange.waitForRelease()) {
                    return;
                }
                exchange.reply({200,
                                {},
                                R"([{"q_id":"21","file_type":"file",)"
                                R"("name":"b.doc","file_ext":"doc"}])"});
            });
        pointAt(server);
    }
};

}  // namespace

class FuncControllerTest : public QObject {
    Q_OBJECT

private slots:
    void init() { ProgressHUD::resetForTesting(); }
    void cleanup() {
        lists::drain();
        FuncController::setDetailFactory({});
        ProgressHUD::resetForTesting();
        GlobalVar::getInstance_global().resetForTesting();
    }

    // The first page shows in reply order; a pull down puts the newer rows on top, a pull up
    // appends the older ones; empty pages say so in the strip and keep the rows.
    void pagesAndEndMessagesOnScreen() {
        test::HttpTestServer server;
        std::atomic<int> newer = 0;
        server.setHandler("/mobile/email/data.php", [&](const test::CapturedRequest& request,
                                                        test::HttpTestServer::Exchange& exchange) {
            const std::string action = field(request, "A");
            if (action == "loadList") {
                exchange.reply({200, {}, reply({"3", "2", "1"})});
            } else if (action == "getNew") {
                exchange.reply({200, {}, newer++ == 0 ? reply({"5", "4"}) : "NONEWDATA"});
            } else {
                exchange.reply({200,
                                {},
                                field(request, "CURRITERMS") == "5" ? reply({"0", "-1"})
                                                                    : std::string("NOMOREDATA")});
            }
        });
        pointAt(server);
        ListScreen screen("email", "电子邮件");
        QCOMPARE(screen.list()->title(), QStringLiteral("电子邮件"));
        QVERIFY(screen.waitForLoads(1));
        QCOMPARE(screen.shownIds(), QStringLiteral("3,2,1"));
        QCOMPARE(screen.table()->headerView()->dateText().left(8),
                 QStringLiteral("最后更新: 今天"));

        screen.table()->launchRefreshing();
        QVERIFY(screen.waitForLoads(2));
        QCOMPARE(screen.shownIds(), QStringLiteral("5,4,3,2,1"));

        screen.pullUp();
        QVERIFY(screen.waitForLoads(3));
        QCOMPARE(screen.list()->logic().list().size(), size_t(7));
        screen.table()->setContentOffset(0);
        QCOMPARE(screen.shownIds(), QStringLiteral("5,4,3,2,1,0,-1"));

        screen.table()->launchRefreshing();
        QVERIFY(screen.waitForLoads(4));
        QTRY_COMPARE(screen.strip(), QStringLiteral("无最新数据！"));
        screen.pullUp();
        QVERIFY(screen.waitForLoads(5));
        QTRY_COMPARE(screen.strip(), QStringLiteral("没有更早的数据！"));
        QCOMPARE(screen.list()->logic().list().size(), size_t(7));
        QVERIFY(!screen.table()->reachedTheEnd());
    }

    // A pull whose exchange fails keeps the rows in view, says so in the strip and does not
    // mark the end: the next pull works again.
    void failedPullKeepsTheRows() {
        test::HttpTestServer server;
        std::atomic<int> status = 200;
        server.setHandler("/mobile/email/data.php", [&](const test::CapturedRequest& request,
                                                        test::HttpTestServer::Exchange& exchange) {
            const bool older = field(request, "A") == "getMore";
            exchange.reply({status, {}, older ? reply({"0"}) : reply({"2", "1"})});
        });
        pointAt(server);
        ListScreen screen("email");
        QVERIFY(screen.waitForLoads(1));
        status = 500;
        screen.pullUp();
        QVERIFY(screen.waitForLoads(2));
        QTRY_COMPARE(screen.strip(), QStringLiteral("网络异常，加载信息失败！"));
        QCOMPARE(screen.shownIds(), QStringLiteral("2,1"));
        QVERIFY(!screen.table()->reachedTheEnd());
        status = 200;
        screen.pullUp();
        QVERIFY(screen.waitForLoads(3));
        screen.table()->setContentOffset(0);
        QCOMPARE(screen.shownIds(), QStringLiteral("2,1,0"));
    }

    // A diary kind change while a refresh of the other kind is still out: that refresh's rows
    // never show, and its header closes.
    void staleKindRefreshNeverShows() {
        test::HttpTestServer server;
        std::atomic<bool> hold = false;
        server.setHandler("/mobile/diary/data.php", [&](const test::CapturedRequest& request,
                                                        test::HttpTestServer::Exchange& exchange) {
            if (field(request, "FTYPE") == "share") {
                exchange.reply({200, {}, reply({"9"})});
            } else if (hold) {
                if (exchange.waitForRelease()) {
                    exchange.reply({200, {}, reply({"7", "2", "1"})});
                }
            } else {
                exchange.reply({200, {}, reply({"2", "1"})});
            }
        });
        pointAt(server);
        ListScreen screen("diary");
        QVERIFY(screen.waitForLoads(1));
        hold = true;
        screen.table()->launchRefreshing();
        QTRY_COMPARE(server.inFlight(), 1);
        screen.list()->changeBrush(1);
        QTRY_VERIFY(screen.finished() >= 2);
        QCOMPARE(screen.shownIds(), QStringLiteral("9"));
        server.release();
        QVERIFY(screen.waitForLoads(3));
        QCOMPARE(screen.shownIds(), QStringLiteral("9"));
        QCOMPARE(screen.list()->seg1()->selectedSegmentIndex(), 1);
    }

    // A key outside the module table: no rows, the failure in the strip, and the footer at the
    // end for good: a pull up starts nothing.
    void unknownKeyFailsAndReachesTheEnd() {
        ListScreen screen("nonsense", "未知");
        QVERIFY(screen.waitForLoads(1));
        QTRY_COMPARE(screen.strip(), QStringLiteral("网络异常，加载信息失败！"));
        QCOMPARE(screen.table()->numberOfRowsInSection(0), 0);
        QVERIFY(screen.table()->reachedTheEnd());
        QCOMPARE(screen.table()->footerView()->stateText(), QStringLiteral("没有了哦"));
        QVERIFY(!screen.list()->rightBarButtonItem());
        screen.pullUp();
        QCOMPARE(screen.list()->loadsRunning(), 0);
        QCOMPARE(screen.table()->footerView()->stateText(), QStringLiteral("没有了哦"));
    }

    void writeButtons_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("button");
        QTest::newRow("email") << "email"
                               << "写邮件";
        QTest::newRow("diary") << "diary"
                               << "写日志";
        QTest::newRow("calendar") << "calendar"
                                  << "新建";
        QTest::newRow("notify") << "notify"
                                << "";
        QTest::newRow("file_folder") << "file_folder"
                                     << "";
    }
    // The write button of the modules that can be written opens the write screen of the module.
    void writeButtons() {
        QFETCH(QString, key);
        QFETCH(QString, button);
        test::HttpTestServer server;  // answers 404: empty lists
        pointAt(server);
        ListScreen screen(key.toStdString());
        QVERIFY(screen.waitForLoads(1));
        auto* right = qobject_cast<BarButton*>(screen.list()->rightBarButtonItem());
        QCOMPARE(right ? right->text() : QString(), button);
        if (!right) {
            return;
        }
        right->click();
        auto* write = qobject_cast<WriteController*>(screen.nav()->topViewController());
        QVERIFY(write);
        QCOMPARE(write->func_type(), key.toStdString());
    }

    void aSavedEntryShowsWithoutAPull_data() {
        QTest::addColumn<QString>("key");
        QTest::newRow("diary") << "diary";
        QTest::newRow("calendar") << "calendar";
    }
    // Saved from the list's write screen: back on the list, the new entry is there.
    void aSavedEntryShowsWithoutAPull() {
        QFETCH(QString, key);
        const std::string module = key.toStdString();
        test::HttpTestServer server;
        std::atomic<bool> saved = false;
        server.setHandler(
            "/mobile/" + module + "/data.php",
            [&](const test::CapturedRequest& request, test::HttpTestServer::Exchange& exchange) {
                const bool newer = field(request, "A") == "getNew";
                exchange.reply({200,
                                {},
                                !saved  ? std::string(newer ? "NONEWDATA" : reply({"1"}))
                                : newer ? reply({"2"})
                                        : reply({"2", "1"})});
            });
        server.setHandler(
            "/mobile/" + module + "/submit.php",
            [&](const test::CapturedRequest&, test::HttpTestServer::Exchange& exchange) {
                saved = true;
                exchange.reply({200, {}, "OK"});
            });
        pointAt(server);
        ListScreen screen(module);
        QVERIFY(screen.waitForLoads(1));
        qobject_cast<BarButton*>(screen.list()->rightBarButtonItem())->click();
        auto* write = qobject_cast<WriteController*>(screen.nav()->topViewController());
        QVERIFY(write);
        write->view();
        write->saveInfo();
        QTRY_COMPARE(screen.nav()->topViewController(),
                     static_cast<ViewController*>(screen.list()));
        QVERIFY(saved);
        QVERIFY(screen.waitForLoads(2));
        QCOMPARE(screen.shownIds(), QStringLiteral("2,1"));
    }

    // A tap on an unread e-mail draws it read and opens its detail with the record; a diary row
    // opens without any flag changing.
    void tapMarksReadAndOpensTheDetail() {
        test::HttpTestServer server;
        server.setReply("/mobile/email/data.php", {200, {}, reply({"2", "1"})});
        pointAt(server);
        Opened opened;
        captureDetails(opened);
        ListScreen screen("email");
        QVERIFY(screen.waitForLoads(1));
        auto* cell = qobject_cast<ModuleRowCell*>(screen.table()->cellForRowAtIndexPath({0, 1}));
        QVERIFY(cell && cell->rowView());
        QCOMPARE(cell->rowView()->backgroundColor(), QColor(251, 230, 133));

        screen.tap(1);
        QCOMPARE(opened.count, 1);
        QCOMPARE(opened.key, std::string("email"));
        QVERIFY(opened.record);
        QCOMPARE(opened.record->q_id, Text("1"));
        QCOMPARE(std::dynamic_pointer_cast<EmailVO>(opened.record)->read_flag, Text("1"));
        QCOMPARE(screen.nav()->topViewController()->title(), QStringLiteral("detail"));
        QVERIFY(screen.table()->indexPathForSelectedRow());
        screen.nav()->popViewController(false);
        // Back on the list, the tapped row is lit no longer.
        QVERIFY(!screen.table()->indexPathForSelectedRow());
        cell = qobject_cast<ModuleRowCell*>(screen.table()->cellForRowAtIndexPath({0, 1}));
        QVERIFY(cell && cell->rowView());
        QVERIFY(!cell->isSelected());
        QCOMPARE(cell->rowView()->backgroundColor(), QColor(Qt::transparent));
        cell = qobject_cast<ModuleRowCell*>(screen.table()->cellForRowAtIndexPath({0, 0}));
        QCOMPARE(cell->rowView()->backgroundColor(), QColor(251, 230, 133));
    }

    // Unless a test replaces it, a tapped row opens the detail screen of its module and record.
    void rowsOpenTheDetailScreen() {
        auto record = std::make_shared<CalendarVO>();
        record->q_id = "7";
        std::unique_ptr<ViewController> screen(
            FuncController::detailController("calendar", record));
        auto* detail = qobject_cast<DetailController*>(screen.get());
        QVERIFY(detail);
        QCOMPARE(detail->func_type(), std::string("calendar"));
        QCOMPARE(detail->list_vo(), std::shared_ptr<BaseVO>(record));
    }

    // The kind control stands in for the title; a kind without entries shows its overlay, the
    // other kind hides it; the next screen's bar shows no segments and coming back shows the
    // kind that is listed.
    void diaryKindsOverlayAndComingBack() {
        test::HttpTestServer server;
        std::atomic<bool> sharedEmpty = true;
        server.setHandler("/mobile/diary/data.php", [&](const test::CapturedRequest& request,
                                                        test::HttpTestServer::Exchange& exchange) {
            if (field(request, "FTYPE") == "share") {
                exchange.reply({200, {}, sharedEmpty ? std::string("NOMOREDATA") : reply({"9"})});
            } else {
                exchange.reply({200, {}, reply({"2", "1"})});
            }
        });
        pointAt(server);
        Opened opened;
        captureDetails(opened);
        ListScreen screen("diary", "工作日志");
        SegmentedControl* seg = screen.list()->seg1();
        QVERIFY(seg);
        QCOMPARE(screen.list()->titleView(), static_cast<QWidget*>(seg));
        QCOMPARE(screen.list()->title(), QString());
        QCOMPARE(seg->numberOfSegments(), 2);
        QCOMPARE(seg->titleForSegmentAtIndex(0), QStringLiteral("工作日志"));
        QCOMPARE(seg->titleForSegmentAtIndex(1), QStringLiteral("共享日志"));
        QCOMPARE(seg->selectedSegmentIndex(), 0);
        QVERIFY(screen.waitForLoads(1));
        QCOMPARE(screen.shownIds(), QStringLiteral("2,1"));
        QVERIFY(screen.list()->aview()->isHidden());

        screen.list()->changeBrush(1);
        QTRY_VERIFY(screen.finished() >= 2);
        QVERIFY(screen.list()->aview()->isVisible());
        QCOMPARE(screen.list()->aviewLabel()->text(), QStringLiteral("无共享日志"));
        QCOMPARE(screen.table()->numberOfRowsInSection(0), 0);

        screen.list()->changeBrush(0);
        QTRY_VERIFY(screen.finished() >= 3);
        QVERIFY(screen.list()->aview()->isHidden());
        QCOMPARE(screen.shownIds(), QStringLiteral("2,1"));

        sharedEmpty = false;
        screen.list()->changeBrush(1);
        QTRY_VERIFY(screen.finished() >= 4);
        QVERIFY(screen.list()->aview()->isHidden());
        QCOMPARE(screen.shownIds(), QStringLiteral("9"));

        screen.tap(0);
        QCOMPARE(opened.count, 1);
        QCOMPARE(opened.key, std::string("diary"));
        QCOMPARE(seg->numberOfSegments(), 0);
        QVERIFY(!seg->isVisible());
        screen.nav()->popViewController(false);
        QCOMPARE(seg->numberOfSegments(), 2);
        QCOMPARE(seg->selectedSegmentIndex(), 1);
        QVERIFY(seg->isVisible());

        // The write screen likewise takes the segments along and gives them back.
        qobject_cast<BarButton*>(screen.list()->rightBarButtonItem())->click();
        QCOMPARE(seg->numberOfSegments(), 0);
        screen.nav()->popViewController(false);
        QCOMPARE(seg->selectedSegmentIndex(), 1);
    }

    // "无工作日志" lies over the empty list: a pull where it shows still refreshes the list.
    void aPullOnTheEmptyDiaryOverlayRefreshes() {
        test::HttpTestServer server;
        server.setReply("/mobile/diary/data.php", {200, {}, "NOMOREDATA"});
        pointAt(server);
        ListScreen screen("diary");
        QVERIFY(screen.waitForLoads(1));
        QVERIFY(screen.list()->aview()->isVisible());
        QWidget* body = screen.list()->view();
        const QPoint from(40, 60);
        // What a finger there touches.
        QWidget* touched = body->childAt(from);
        QVERIFY(touched);
        const QPoint start = touched->mapFrom(body, from);
        QTest::mousePress(touched, Qt::LeftButton, {}, start);
        for (int i = 1; i <= 5; ++i) {
            QTest::mouseMove(touched, start + QPoint(0, 28 * i));
        }
        QTest::mouseRelease(touched, Qt::LeftButton, {}, start + QPoint(0, 140));
        QVERIFY(screen.waitForLoads(2));
        QCOMPARE(server.requests().size(), std::size_t(2));
        QVERIFY(screen.list()->aview()->isVisible());
    }

    // A folder step runs in the background behind "正在加载...": taps meanwhile do nothing, the
    // folder shows with its back row when it arrives, and the indicator goes.
    void folderStepInTheBackground() {
        Cabinet cabinet;
        Opened opened;
        captureDetails(opened);
        ListScreen screen("file_folder", "个人文件柜");
        QVERIFY(screen.waitForLoads(1));
        QCOMPARE(screen.shownIds(), QStringLiteral("10,11"));

        cabinet.hold = true;
        screen.tap(0);
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Busy);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("正在加载..."));
        QVERIFY(cabinet.server.waitForInFlight(1));
        screen.tap(1);
        QCOMPARE(opened.count, 0);
        QCOMPARE(cabinet.server.requests().size(), size_t(2));

        cabinet.server.release();
        QTRY_VERIFY(screen.finished() >= 2);
        QCOMPARE(screen.shownIds(), QStringLiteral("-999,21"));
        QVERIFY(ProgressHUD::state() != ProgressHUD::State::Busy);
        screen.tap(1);
        QCOMPARE(opened.count, 1);
        QCOMPARE(opened.record->q_id, Text("21"));
    }

    // An empty folder says so under its back row, and no more once left.
    void anEmptyFolderSaysSo() {
        Cabinet cabinet;
        cabinet.server.setHandler(
            "/mobile/file_folder/data.php",
            [](const test::CapturedRequest& request, test::HttpTestServer::Exchange& exchange) {
                exchange.reply({200,
                                {},
                                field(request, "A") == "loadList"
                                    ? R"([{"q_id":"10","file_type":"folder","name":"X",)"
                                      R"("file_ext":""}])"
                                    : "[]"});
            });
        ListScreen screen("file_folder");
        QVERIFY(screen.waitForLoads(1));
        auto said = [&] {
            auto* label = screen.table()->findChild<QLabel*>(QStringLiteral("emptyFolder"));
            return label && label->isVisible() ? label->text() : QString();
        };
        QCOMPARE(said(), QString());
        screen.tap(0);
        QTRY_COMPARE(screen.shownIds(), QStringLiteral("-999"));
        QCOMPARE(said(), QStringLiteral("此文件夹为空"));
        screen.tap(0);
        QTRY_COMPARE(screen.shownIds(), QStringLiteral("10"));
        QCOMPARE(said(), QString());
    }

    // Popped while its first page and while a folder step are under way: the results find no
    // screen and are dropped, the folder's indicator goes with the screen.
    void poppedMidLoad() {
        test::HttpTestServer server;
        server.setHandler("/mobile/email/data.php", [](const test::CapturedRequest&,
                                                       test::HttpTestServer::Exchange& exchange) {
            if (exchange.waitForRelease()) {
                exchange.reply({200, {}, reply({"1"})});
            }
        });
        pointAt(server);
        {
            ListScreen screen("email");
            QTRY_COMPARE(server.inFlight(), 1);
            QPointer<FuncController> list = screen.list();
            screen.nav()->popViewController(false);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(list.isNull());
            server.release();
            lists::drain();
            QCOMPARE(screen.finished(), 0);
            QCOMPARE(screen.nav()->topViewController(), screen.root());
        }

        Cabinet cabinet;
        ListScreen screen("file_folder");
        QVERIFY(screen.waitForLoads(1));
        cabinet.hold = true;
        screen.tap(0);
        QVERIFY(cabinet.server.waitForInFlight(1));
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Busy);
        screen.nav()->popViewController(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!screen.list());
        QVERIFY(ProgressHUD::state() != ProgressHUD::State::Busy);
        cabinet.server.release();
        lists::drain();
        QCOMPARE(screen.finished(), 1);
    }

    // 10,000 e-mails in one reply, through the real screen: every row in sight shows its own
    // record, and scrolling through all of them keeps at most a screenful of cells plus two.
    void tenThousandRowsThroughTheScreen() {
        constexpr int kRows = 10000;
        std::vector<std::string> ids;
        for (int i = 0; i < kRows; ++i) {
            ids.push_back(std::to_string(kRows - i));
        }
        test::HttpTestServer server;
        server.setReply("/mobile/email/data.php", {200, {}, reply(ids)});
        pointAt(server);
        ListScreen screen("email");
        QVERIFY(screen.waitForLoads(1));
        PullingRefreshTableView* table = screen.table();
        QCOMPARE(table->numberOfRowsInSection(0), kRows);
        const int visible = int(std::ceil(table->height() / FuncController::kRowHeight)) + 1;
        const qreal end = table->maximumContentOffset();
        qsizetype most = 0;
        int checked = 0;
        for (qreal y = 0;; y += table->height() * 2 + 13) {
            table->setContentOffset(std::min(y, end));
            for (const IndexPath& path : table->indexPathsForVisibleRows()) {
                auto* cell = qobject_cast<ModuleRowCell*>(table->cellForRowAtIndexPath(path));
                QVERIFY(cell && cell->rowView());
                QCOMPARE(cell->rowView()->q_id(), Text(std::to_string(kRows - path.row)));
                ++checked;
            }
            most = std::max(most, table->findChildren<ModuleRowCell*>().size());
            if (y >= end) {
                break;
            }
        }
        QVERIFY(checked > 500);
        QVERIFY2(most <= visible + 2, qPrintable(QString::number(most)));
        auto* last = qobject_cast<ModuleRowCell*>(table->cellForRowAtIndexPath({0, kRows - 1}));
        QVERIFY(last && last->rowView());
        QCOMPARE(last->rowView()->q_id(), Text("1"));
    }
};

}  // namespace oa

OA_QT_TEST(FuncControllerTest)
#include "FuncControllerTest.moc"
