// The main index: grid geometry on both screens, empty places of unknown keys, the tabs and the
// "发微讯" button, opening modules, the "more" page, no way back and sign-out.
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

#include "ShellTest.h"
#include "core/push/UDPListener.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "support/FakeDatagramSocket.h"
#include "ui/controller/lookup/OtherFuncController.h"
#include "ui/controller/main/BottomView.h"
#include "ui/controller/main/FuncController.h"
#include "ui/controller/main/HomeView.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/main/MyImageView.h"
#include "ui/controller/main/MyView.h"
#include "ui/controller/main/OtherView.h"
#include "ui/controller/main/WorkflowController.h"
#include "ui/controller/message/MessageController.h"
#include "ui/controller/message/MessageView.h"
#include "ui/controller/reminder/SmsView.h"
#include "ui/controller/write/WriteController.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/JSBadgeView.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/TableView.h"
#include "ui/session/LoginController.h"

Q_DECLARE_METATYPE(std::vector<std::string>)

namespace oa {

namespace {

using Keys = std::vector<std::string>;

IndexController* pushIndex(shell::Screen& screen, const Keys& modules) {
    auto* index = new IndexController;
    index->setFunc_array(modules);
    screen.nav()->pushViewController(index, false);
    return index;
}

QWidget* shownPage(IndexController* index) {
    QWidget* shown = nullptr;
    for (QWidget* page :
         {static_cast<QWidget*>(index->home_view()), static_cast<QWidget*>(index->message_view()),
          static_cast<QWidget*>(index->sms_view()), static_cast<QWidget*>(index->other_view())}) {
        if (page->isVisible()) {
            if (shown) {
                return nullptr;  // two at once
            }
            shown = page;
        }
    }
    return shown;
}

}  // namespace

class IndexTest : public QObject {
    Q_OBJECT

private slots:
    void gridPlacesCellsByPosition_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<Keys>("modules");
        QTest::addColumn<QList<QPoint>>("positions");  // of the cells, in grid order
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("first row") << QSize(320, 480) << Keys{"email", "news", "user", "weather"}
                                   << QList<QPoint>{{0, 50}, {80, 50}, {160, 50}, {240, 50}}
                                   << QStringList{"电子邮件", "内部新闻", "人员查询", "天气预报"};
        QTest::newRow("fifth starts the second row")
            << QSize(320, 480) << Keys{"email", "notify", "news", "workflow", "calendar"}
            << QList<QPoint>{{0, 50}, {80, 50}, {160, 50}, {240, 50}, {0, 150}}
            << QStringList{"电子邮件", "公告通知", "内部新闻", "工作流", "日程安排"};
        QTest::newRow("three columns on the tall screen")
            << QSize(320, 568) << Keys{"email", "notify", "news", "workflow", "calendar"}
            << QList<QPoint>{{0, 25}, {90, 25}, {180, 25}, {0, 125}, {90, 125}}
            << QStringList{"电子邮件", "公告通知", "内部新闻", "工作流", "日程安排"};
        QTest::newRow("unknown key leaves its place empty")
            << QSize(320, 480) << Keys{"email", "chat", "news", "public_folder"}
            << QList<QPoint>{{0, 50}, {160, 50}, {240, 50}}
            << QStringList{"电子邮件", "内部新闻", "公共文件柜"};
    }

    void gridPlacesCellsByPosition() {
        QFETCH(QSize, screen);
        QFETCH(Keys, modules);
        QFETCH(QList<QPoint>, positions);
        QFETCH(QStringList, titles);
        shell::Environment env;
        shell::Screen phone(screen);
        IndexController* index = pushIndex(phone, modules);
        const QList<MyView*> cells = index->home_view()->cells();
        QCOMPARE(cells.size(), positions.size());
        const bool three = screen.height() == 568;
        for (int i = 0; i < cells.size(); ++i) {
            QCOMPARE(cells[i]->pos(), positions[i]);
            // The cell holds its icon and title whole.
            QVERIFY(cells[i]->rect().contains(HomeView::iconFrame(three)));
            QVERIFY(cells[i]->rect().contains(HomeView::labelFrame(three)));
            QCOMPARE(QString::fromStdString(cells[i]->func_title()), titles[i]);
            // Icon, title and a hidden badge "11" in each cell.
            auto* label = cells[i]->findChild<QLabel*>();
            QCOMPARE(label->text(), titles[i]);
            QCOMPARE(label->geometry(), HomeView::labelFrame(three));
            auto* badge = cells[i]->findChild<JSBadgeView*>();
            QVERIFY(badge);
            QCOMPARE(badge->target()->geometry(), HomeView::iconFrame(three));
            QVERIFY(badge->isHidden());
            QCOMPARE(badge->badgeText(), QString("11"));
        }
        QCOMPARE(index->home_view()->badge("public_folder") != nullptr,
                 titles.contains("公共文件柜"));
    }

    void tabsSwitchPagesTitlesAndTheRightButton() {
        shell::Environment env;
        GlobalVar::getInstance_global().setApp_title("青禾协同办公");
        shell::Screen screen;
        IndexController* index = pushIndex(screen, {"email"});
        QSignalSpy loads(index->message_view(), &MessageView::loadFinished);
        BottomView* bar = index->bottom_view();
        QCOMPARE(bar->items().size(), 4);
        QCOMPARE(bar->tempMyView(), bar->item("home"));
        QVERIFY(bar->item("home")->isHighlighted());
        QCOMPARE(shownPage(index), index->home_view());
        QCOMPARE(index->title(), QString("青禾协同办公"));
        QCOMPARE(bar->geometry(), QRect(0, 480 - 44 - 50, 320, 50));
        QCOMPARE(index->home_view()->geometry(), QRect(0, 0, 320, 480 - 44 - 50));

        struct Step {
            const char* tab;
            QWidget* page;
            const char* title;
            bool sendButton;
        };
        const Step steps[] = {
            {"message", index->message_view(), "微讯", true},
            {"message", index->message_view(), "微讯", true},  // tapping it again: no change
            {"remind", index->sms_view(), "事务提醒", false},
            {"affairs", index->other_view(), "更多", false},
            {"message", index->message_view(), "微讯", true},
            {"home", index->home_view(), "青禾协同办公", false},
        };
        for (const Step& step : steps) {
            bar->changeState(bar->item(step.tab));
            QCOMPARE(index->currentTab(), std::string(step.tab));
            QCOMPARE(shownPage(index), step.page);
            QCOMPARE(index->title(), QString::fromUtf8(step.title));
            QCOMPARE(screen.nav()->navigationBar()->title(), QString::fromUtf8(step.title));
            for (MyImageView* item : bar->items()) {
                QCOMPARE(item->isHighlighted(), item->type_name() == step.tab);
            }
            auto* button = qobject_cast<BarButton*>(index->rightBarButtonItem());
            QCOMPARE(button != nullptr, step.sendButton);
            if (button) {
                QCOMPARE(button->text(), QString("发微讯"));
                QCOMPARE(button->size(), QSize(55, 25));
                QCOMPARE(button->imageName(), QString("btn_background1"));
            }
        }

        // "发微讯" opens the group message editor without a back button.
        bar->changeState(bar->item("message"));
        qobject_cast<BarButton*>(index->rightBarButtonItem())->click();
        auto* write = screen.topAs<WriteController>();
        QVERIFY(write);
        QCOMPARE(write->func_type(), std::string("message"));
        QVERIFY(write->hidesBackButton());
        // Once sent, the conversations reload as a pull would.
        MessageView* conversations = index->message_view();
        QTRY_VERIFY(loads.count() > 0 && !conversations->tableView()->isLoading());
        const auto before = loads.count();
        emit write->submitFinished(true);
        QTRY_VERIFY(loads.count() > before);
    }

    void modulesOpenTheirScreens() {
        shell::Environment env;
        shell::Screen screen;
        IndexController* index =
            pushIndex(screen, {"notify", "workflow", "address", "file_folder"});
        HomeView* home = index->home_view();
        auto cell = [home](const char* key) {
            for (MyView* candidate : home->cells()) {
                if (candidate->func_name() == key) {
                    return candidate;
                }
            }
            return static_cast<MyView*>(nullptr);
        };

        QTest::mouseClick(cell("notify"), Qt::LeftButton);
        auto* list = screen.topAs<FuncController>();
        QVERIFY(list);
        QCOMPARE(list->func_type(), std::string("notify"));
        QCOMPARE(list->title(), QString("公告通知"));
        QCOMPARE(qobject_cast<BarButton*>(list->leftBarButtonItem())->text(), QString("  返回"));
        qobject_cast<BarButton*>(list->leftBarButtonItem())->click();
        QCOMPARE(screen.top(), index);

        home->enterFunc(cell("address"));
        auto* lookup = screen.topAs<OtherFuncController>();
        QVERIFY(lookup);
        QCOMPARE(lookup->func_type(), std::string("address"));
        QCOMPARE(lookup->func_title(), std::string("通讯簿"));
        screen.nav()->popViewController(false);

        // The workflow page covers everything, presented at once, and goes by its way back.
        home->enterFunc(cell("workflow"));
        QCOMPARE(screen.top(), index);
        auto* workflow = qobject_cast<WorkflowController*>(screen.nav()->presentedViewController());
        QVERIFY(workflow);
        QVERIFY(workflow->isAppeared());
        QCOMPARE(workflow->view()->geometry(), QRect(0, 0, 320, 480));
        workflow->backToMain();
        QTRY_VERIFY(!screen.nav()->presentedViewController());
        QVERIFY(index->isAppeared());

        index->enterMessage("7", "吴强");
        auto* dialog = screen.topAs<MessageController>();
        QVERIFY(dialog);
        QCOMPARE(dialog->q_id(), std::string("7"));
        QCOMPARE(dialog->title(), QString("与 <吴强> 的对话"));
    }

    void theIndexHasNoWayBack() {
        shell::Environment env;
        shell::Screen screen;
        IndexController* index = pushIndex(screen, {"email"});
        QVERIFY(!screen.nav()->isNavigationBarHidden());
        QVERIFY(index->hidesBackButton());
        QVERIFY(!index->leftBarButtonItem());
        QVERIFY(!screen.nav()->navigationBar()->backButton()->isVisible());
        // Screens above it get "首页" as their default back title.
        QCOMPARE(index->backButtonTitle(), QString("首页"));
    }

    void everyRowOfTheMorePageCanBeSeen_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("320 x 480") << QSize(320, 480);
        QTest::newRow("320 x 568") << QSize(320, 568);
    }
    // Wheeled from top to end, the page shows each row whole and clear of the sign-out button
    // at some point, and the button whole, under the last group.
    void everyRowOfTheMorePageCanBeSeen() {
        QFETCH(QSize, size);
        shell::Environment env;
        shell::Screen screen(size);
        IndexController* index = pushIndex(screen, {"email"});
        index->changeView("affairs");
        OtherView* more = index->other_view();
        TableView* table = more->tableView();
        QPushButton* signOut = more->signOutButton();
        QTRY_VERIFY(table->numberOfSections() > 0);
        auto onPage = [more](QWidget* widget, const QRectF& rect) {
            return QRect(widget->mapTo(more, rect.toRect().topLeft()), rect.toRect().size());
        };
        QSet<QPair<int, int>> seen;
        int rows = 0;
        bool buttonSeen = false;
        for (int step = 0; step < 50; ++step) {
            const QRect button = onPage(signOut, signOut->rect());
            rows = 0;
            QRect lastRow;
            for (int section = 0; section < table->numberOfSections(); ++section) {
                for (int row = 0; row < table->numberOfRowsInSection(section); ++row, ++rows) {
                    const QRectF rect = table->rectForRowAtIndexPath({section, row})
                                            .translated(0, -table->contentOffset());
                    lastRow = onPage(table, rect);
                    if (QRectF(table->rect()).contains(rect) && more->rect().contains(lastRow) &&
                        !lastRow.intersects(button)) {
                        seen.insert({section, row});
                    }
                }
            }
            buttonSeen = buttonSeen || (more->rect().contains(button) &&
                                        onPage(table, table->rect()).contains(button) &&
                                        button.top() > lastRow.bottom());
            const qreal before = table->contentOffset();
            QWheelEvent wheel(QPointF(160, 100), table->mapToGlobal(QPointF(160, 100)), QPoint(),
                              QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QCoreApplication::sendEvent(table, &wheel);
            if (table->contentOffset() == before) {
                break;
            }
        }
        QCOMPARE(seen.size(), rows);
        QVERIFY(buttonSeen);
    }

    void morePageShowsVersionsAndSignsOut() {
        shell::Environment env;
        LoginVO record = shell::demoRecord();
        record.isAuto = true;
        shell::Environment::storeRecord(record);
        shell::Screen screen;
        // The stored record signs in by itself once.
        QTRY_VERIFY_WITH_TIMEOUT(screen.topAs<IndexController>(), 15000);
        auto* index = screen.topAs<IndexController>();
        index->changeView("affairs");
        OtherView* more = index->other_view();
        TableView* table = more->tableView();
        QCOMPARE(table->style(), TableView::Style::Grouped);
        QVERIFY(table->isScrollEnabled());
        QTRY_VERIFY(table->cellForRowAtIndexPath({1, 1}));
        QCOMPARE(table->cellForRowAtIndexPath({0, 0})->textLabel()->text(),
                 QString("网络环境设置"));
        QCOMPARE(table->cellForRowAtIndexPath({0, 0})->accessoryType(),
                 TableViewCell::AccessoryType::DisclosureIndicator);
        QCOMPARE(table->cellForRowAtIndexPath({1, 0})->detailTextLabel()->text(),
                 QString("2013.07.01"));
        QCOMPARE(table->cellForRowAtIndexPath({1, 1})->textLabel()->text(), QString("Web版本号"));
        QCOMPARE(table->cellForRowAtIndexPath({1, 1})->detailTextLabel()->text(),
                 QString("2013.06.18"));  // the demo server's
        QCOMPARE(more->signOutButton()->text(), QString("注      销"));
        QVERIFY(UDPListener::getInstance_udp().isAnnouncing());

        QTest::mouseClick(more->signOutButton(), Qt::LeftButton);
        QCOMPARE(screen.top(), screen.login());
        QVERIFY(!UDPListener::getInstance_udp().isAnnouncing());
        QVERIFY(screen.nav()->isNavigationBarHidden());
        const LoginVO stored = LoginBO().getPlistInfo();
        QVERIFY(!stored.isAuto);
        // Only the switch changed; the session stays as it was.
        QCOMPARE(stored.name, record.name);
        QCOMPARE(stored.pwd, record.pwd);
        QVERIFY(stored.isRem);
        QVERIFY(GlobalVar::getInstance_global().session_id().has_value());
    }

    // The IM service of this test never answers by itself: the fake socket stands in for it.
    void morePageShowsThePushChannelAndTestsIt() {
        shell::Environment env;
        LoginVO record = shell::demoRecord();
        record.isAuto = true;
        shell::Environment::storeRecord(record);
        shell::Screen screen;
        QTRY_VERIFY_WITH_TIMEOUT(screen.topAs<IndexController>(), 15000);
        auto* index = screen.topAs<IndexController>();
        index->changeView("affairs");
        OtherView* more = index->other_view();
        TableView* table = more->tableView();
        QTRY_VERIFY(table->cellForRowAtIndexPath({0, 2}));
        QCOMPARE(table->cellForRowAtIndexPath({0, 2})->textLabel()->text(), QString("推送通道"));
        QCOMPARE(table->cellForRowAtIndexPath({0, 2})->detailTextLabel()->text(),
                 QString("未连接"));

        // A push from the server counts too; the page shows it when it is shown again.
        auto* socket = env.socket();
        socket->inject("n^email");
        QTRY_COMPARE(socket->readsStarted(), 2);
        index->changeView("home");
        index->changeView("affairs");
        QTRY_COMPARE(table->cellForRowAtIndexPath({0, 2})->detailTextLabel()->text(),
                     QString("正常"));

        // Answered: the channel works, and the row says so.
        socket->clearSent();
        more->didSelectRowAtIndexPath(table, {0, 2});
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Busy);
        QCOMPARE(ProgressHUD::status(), QString("正在检测..."));
        QVERIFY(!socket->sentTexts().empty());
        QVERIFY(socket->sentTexts().front().rfind("C^m^l^" + *record.name + "^", 0) == 0);
        socket->inject("v^OK");
        QTRY_COMPARE(ProgressHUD::state(), ProgressHUD::State::Success);
        QCOMPARE(ProgressHUD::status(), QString("推送通道正常"));
        QCOMPARE(table->cellForRowAtIndexPath({0, 2})->detailTextLabel()->text(), QString("正常"));

        // Unanswered: after five seconds the port in use is named.
        more->didSelectRowAtIndexPath(table, {0, 2});
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Busy);
        QTRY_COMPARE_WITH_TIMEOUT(ProgressHUD::state(), ProgressHUD::State::Error, 10000);
        QCOMPARE(ProgressHUD::status(),
                 QString("推送通道无响应：请检查服务器的 IM 端口 1188 是否可达"));
    }
};

}  // namespace oa

OA_SHELL_TEST(IndexTest)
#include "IndexTest.moc"
