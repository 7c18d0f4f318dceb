// The pull-to-refresh table: which pulls start a load (drag, wheel, F5, programmatic), one load
// at a time, the end of the list, header-only lists, closing with or without a message, the
// last-update text and where the footer sits.
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QWheelEvent>
#include <QtTest>
#include <algorithm>
#include <functional>

#include "KitTest.h"
#include "ui/kit/PullingRefreshTableView.h"

namespace oa {
namespace {

// Rows of 44 points, and a pulling delegate that records what the table asked.
class Owner : public TableViewDataSource, public PullingRefreshTableViewDelegate {
public:
    explicit Owner(int rowCount) : rows(rowCount) {}

    int numberOfRowsInSection(TableView*, int) override { return rows; }
    TableViewCell* cellForRowAtIndexPath(TableView* table, const IndexPath&) override {
        auto* cell = table->dequeueReusableCellWithIdentifier(QStringLiteral("row"));
        return cell ? cell
                    : new TableViewCell(TableViewCell::Style::Default, QStringLiteral("row"));
    }
    void pullingTableViewDidStartRefreshing(PullingRefreshTableView* table) override {
        ++refreshes;
        if (onStart) {
            onStart(table);
        }
    }
    void pullingTableViewDidStartLoading(PullingRefreshTableView* table) override {
        ++loads;
        if (onStart) {
            onStart(table);
        }
    }
    std::optional<QDateTime> pullingTableViewRefreshingFinishedDate(
        PullingRefreshTableView*) override {
        return refreshedAt;
    }
    std::optional<QDateTime> pullingTableViewLoadingFinishedDate(
        PullingRefreshTableView*) override {
        return loadedAt;
    }

    int rows;
    int refreshes = 0;
    int loads = 0;
    std::optional<QDateTime> refreshedAt;
    std::optional<QDateTime> loadedAt;
    std::function<void(PullingRefreshTableView*)> onStart;
};

const QDateTime kNow(QDate(2026, 3, 5), QTime(9, 7));

// A shown 320 x 416 list over `owner`'s rows, its clock at kNow.
struct List {
    QWidget window;
    PullingRefreshTableView* table;
    explicit List(Owner* owner) {
        window.resize(320, 416);
        table = new PullingRefreshTableView(owner, &window);
        table->setGeometry(0, 0, 320, 416);
        table->setDataSource(owner);
        table->setClock([] { return kNow; });
        window.show();
        table->reloadData();
    }
};

// Drags by `dy` points (positive: the finger moves down) from the middle of the table.
void drag(QWidget* widget, int dy, bool release = true) {
    const QPoint from(160, dy > 0 ? 100 : 350);
    const QPoint to = from + QPoint(0, dy);
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    constexpr int kSteps = 5;
    for (int i = 1; i <= kSteps; ++i) {
        QTest::mouseMove(widget, from + (to - from) * i / kSteps);
    }
    if (release) {
        QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
    }
}

// One wheel turn of `dy` points (positive: towards the top of the content).
void wheel(QWidget* widget, int dy) {
    QWheelEvent event(QPointF(100, 100), widget->mapToGlobal(QPointF(100, 100)), QPoint(0, dy),
                      QPoint(0, dy * 120 / 48), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(widget, &event);
}

// The table at rest with the given inset: every animation and the spring back are over.
bool settled(PullingRefreshTableView* table, EdgeInsets inset) {
    return table->contentInset() == inset && !table->isDecelerating() &&
           table->contentOffset() >= table->minimumContentOffset() &&
           table->contentOffset() <= table->maximumContentOffset();
}

// Whether the table is moving its offset or inset by an animation (a launch or a close).
bool animating(PullingRefreshTableView* table) {
    const auto animations =
        table->findChildren<QAbstractAnimation*>(QString(), Qt::FindDirectChildrenOnly);
    return std::any_of(animations.begin(), animations.end(), [](QAbstractAnimation* a) {
        return a->state() == QAbstractAnimation::Running;
    });
}

}  // namespace

class PullingRefreshTableViewTest : public QObject {
    Q_OBJECT

private slots:
    void pullingDownPastSixtyPointsStartsOneRefresh_data() {
        QTest::addColumn<int>("drag");
        QTest::addColumn<qreal>("offset");
        QTest::addColumn<int>("refreshes");
        // Past the top the content follows the finger at half its travel.
        QTest::newRow("61 points") << 122 << -61.0 << 1;
        QTest::newRow("59 points") << 118 << -59.0 << 0;
    }

    void pullingDownPastSixtyPointsStartsOneRefresh() {
        QFETCH(int, drag);
        QFETCH(qreal, offset);
        QFETCH(int, refreshes);
        Owner owner(20);
        List list(&owner);
        LoadingView* header = list.table->headerView();
        QCOMPARE(header->stateText(), QString("下拉刷新"));

        oa::drag(list.table, drag, false);
        QCOMPARE(list.table->contentOffset(), offset);
        QCOMPARE(header->stateText(), refreshes ? QString("释放刷新") : QString("下拉刷新"));
        QCOMPARE(header->isArrowTurned(), refreshes == 1);
        QTest::mouseRelease(list.table, Qt::LeftButton, {}, QPoint(160, 100 + drag));
        QCOMPARE(owner.refreshes, refreshes);
        QCOMPARE(owner.loads, 0);
        if (refreshes == 0) {
            QTRY_VERIFY(settled(list.table, {}));
            QCOMPARE(list.table->contentOffset(), 0.0);
            QCOMPARE(header->stateText(), QString("下拉刷新"));
            return;
        }
        // Held open 60 points while the owner loads, spinner instead of arrow.
        QCOMPARE(header->state(), LoadingView::kLoading);
        QCOMPARE(header->stateText(), QString("正在刷新"));
        QVERIFY(header->isSpinnerRunning());
        QVERIFY(!header->isArrowVisible());
        QTRY_VERIFY(settled(list.table, {60, 0}));
        QCOMPARE(list.table->contentOffset(), -60.0);
        QVERIFY(list.table->isLoading());

        // Meanwhile no pull starts anything, up or down, and nothing changes the texts.
        oa::drag(list.table, 200);
        QCOMPARE(header->stateText(), QString("正在刷新"));
        list.table->setContentOffset(list.table->maximumContentOffset());
        oa::drag(list.table, -200);
        list.table->launchRefreshing();
        QVERIFY(!animating(list.table));  // a launch would have begun to scroll
        QCOMPARE(owner.refreshes, 1);
        QCOMPARE(owner.loads, 0);
        QCOMPARE(list.table->footerView()->stateText(), QString("上拉加载"));
    }

    void footerPullsLoadOlderRowsUntilTheEnd() {
        Owner owner(20);  // 880 points of rows
        List list(&owner);
        LoadingView* footer = list.table->footerView();
        QCOMPARE(footer->stateText(), QString("上拉加载"));
        list.table->setContentOffset(list.table->maximumContentOffset());

        // 30 points past the end: the footer shows, but a release starts nothing. Its text is
        // the one it was made with until its state first changes.
        drag(list.table, -60);
        QCOMPARE(footer->stateText(), QString("上拉加载"));
        QCOMPARE(owner.loads, 0);
        QTRY_VERIFY(settled(list.table, {}));

        drag(list.table, -122, false);
        QCOMPARE(footer->stateText(), QString("释放加载更多"));
        QTest::mouseRelease(list.table, Qt::LeftButton, {}, QPoint(160, 350 - 122));
        QCOMPARE(owner.loads, 1);
        QCOMPARE(owner.refreshes, 0);
        QVERIFY(list.table->isFooterInAction());
        QCOMPARE(footer->stateText(), QString("正在加载"));
        QTRY_VERIFY(settled(list.table, {0, 60}));

        // Ten older rows arrive; the footer moves below them, the list moves a point towards
        // them, and the page closes with the owner's date on the footer.
        const qreal before = list.table->contentOffset();
        owner.rows = 30;
        list.table->reloadData();
        QCOMPARE(footer->geometry().top(), qRound(30 * 44 - list.table->contentOffset()));
        QCOMPARE(list.table->contentOffset(), before + 1);
        owner.loadedAt = QDateTime(QDate(2026, 3, 2), QTime(18, 30));
        list.table->tableViewDidFinishedLoading();
        QCOMPARE(footer->stateText(), QString("上拉加载更多"));
        QCOMPARE(footer->dateText(), QString("最后更新: 2026-03-02 18:30"));
        QCOMPARE(list.table->headerView()->dateText(), QString());
        QTRY_VERIFY(settled(list.table, {}));

        // At the end the footer says so and pulls no longer load.
        list.table->setReachedTheEnd(true);
        QCOMPARE(footer->stateText(), QString("没有了哦"));
        list.table->setContentOffset(list.table->maximumContentOffset());
        drag(list.table, -200);
        QCOMPARE(owner.loads, 1);
        QCOMPARE(footer->stateText(), QString("没有了哦"));
        QVERIFY(!footer->isArrowVisible());
        list.table->setReachedTheEnd(false);
        QCOMPARE(footer->stateText(), QString("上拉加载更多"));
    }

    void theEndReachedWhileTheFooterLoadsStays() {
        Owner owner(20);
        List list(&owner);
        list.table->setContentOffset(list.table->maximumContentOffset());
        drag(list.table, -130);
        QCOMPARE(owner.loads, 1);
        // The owner learns there is nothing older before it says it has finished. Its load
        // still runs: a pull down starts no second one meanwhile.
        list.table->setReachedTheEnd(true);
        list.table->setContentOffset(0);
        drag(list.table, 130);
        QCOMPARE(owner.refreshes, 0);
        QCOMPARE(list.table->headerView()->stateText(), QString("下拉刷新"));
        QVERIFY(list.table->isLoading());
        list.table->tableViewDidFinishedLoadingWithMessage("没有更早的数据！");
        QCOMPARE(list.table->footerView()->stateText(), QString("没有了哦"));
        QCOMPARE(list.table->footerView()->state(), LoadingView::kEnd);
        QTRY_VERIFY(settled(list.table, {}));
        list.table->setContentOffset(list.table->maximumContentOffset());
        drag(list.table, -200);
        QCOMPARE(owner.loads, 1);
    }

    void aShortListNeedsTheWholePullToo() {
        Owner owner(3);  // 132 points in a 416-point table
        List list(&owner);
        LoadingView* footer = list.table->footerView();
        // The footer waits at the table's bottom edge, not under the third row.
        QCOMPARE(footer->geometry().top(), 416);
        drag(list.table, -40);  // 20 points up: the footer is not even in sight
        QCOMPARE(owner.loads, 0);
        QCOMPARE(footer->stateText(), QString("上拉加载"));
        QTRY_VERIFY(settled(list.table, {}));
        drag(list.table, -124);
        QCOMPARE(owner.loads, 1);
    }

    void finishingShowsTheTimeAndFlashesTheMessage() {
        Owner owner(5);
        List list(&owner);
        LoadingView* header = list.table->headerView();
        drag(list.table, 130);
        QCOMPARE(owner.refreshes, 1);
        QCOMPARE(header->dateText(), QString());

        list.table->tableViewDidFinishedLoadingWithMessage("无最新数据！");
        QCOMPARE(header->stateText(), QString("下拉刷新"));
        QCOMPARE(header->dateText(), QString("最后更新: 今天 09:07"));
        // The strip comes once the header has closed, across the top of the list, and goes.
        QTRY_VERIFY(list.table->msgLabel());
        QCOMPARE(list.table->contentInset(), EdgeInsets{});
        QLabel* strip = list.table->msgLabel();
        QCOMPARE(strip->text(), QString("无最新数据！"));
        QCOMPARE(strip->width(), 320);
        QCOMPARE(strip->height(), 20);
        QCOMPARE(strip->palette().color(QPalette::Window), QColor(255, 165, 0));
        QVERIFY(strip->isVisible());
        QTRY_COMPARE(strip->y(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!list.table->msgLabel(), 8000);

        // The owner's own date wins over the clock.
        owner.refreshedAt = kNow.addDays(-1);
        list.table->launchRefreshing();
        QTRY_COMPARE(owner.refreshes, 2);
        list.table->tableViewDidFinishedLoading();
        QCOMPARE(header->dateText(), QString("最后更新: 昨天 09:07"));
    }

    void aSecondMessageTakesOverTheStrip() {
        Owner owner(5);
        List list(&owner);
        list.table->flashMessage("无最新数据！");
        QLabel* strip = list.table->msgLabel();
        QVERIFY(strip);
        list.table->flashMessage("没有更早的数据！");
        QCOMPARE(list.table->msgLabel(), strip);
        QCOMPARE(list.table->findChildren<QLabel*>("pullingMessage").size(), 1);
        QCOMPARE(strip->text(), QString("没有更早的数据！"));
        QTRY_VERIFY_WITH_TIMEOUT(!list.table->msgLabel(), 8000);
    }

    void noMessageNoStrip_data() {
        QTest::addColumn<bool>("withEmptyText");
        QTest::newRow("no message") << false;
        QTest::newRow("empty text") << true;
    }

    void noMessageNoStrip() {
        QFETCH(bool, withEmptyText);
        Owner owner(5);
        List list(&owner);
        drag(list.table, 130);
        QCOMPARE(owner.refreshes, 1);
        QTRY_VERIFY(settled(list.table, {60, 0}));
        if (withEmptyText) {
            list.table->tableViewDidFinishedLoadingWithMessage(QString(""));
        } else {
            list.table->tableViewDidFinishedLoading();
        }
        // The strip would be made when the closing animation ends.
        QTRY_VERIFY(settled(list.table, {}));
        QCOMPARE(list.table->contentOffset(), 0.0);
        QCoreApplication::processEvents();
        QVERIFY(!list.table->msgLabel());
        QVERIFY(list.table->findChildren<QLabel*>("pullingMessage").isEmpty());
        QCOMPARE(list.table->headerView()->dateText(), QString("最后更新: 今天 09:07"));
    }

    void finishingWhileIdleChangesNothing() {
        Owner owner(20);
        List list(&owner);
        list.table->tableViewDidFinishedLoadingWithMessage("无最新数据！");
        QCOMPARE(list.table->headerView()->dateText(), QString());
        QCOMPARE(list.table->footerView()->dateText(), QString());
        QCOMPARE(list.table->footerView()->stateText(), QString("上拉加载"));
        QCOMPARE(list.table->contentInset(), EdgeInsets{});
        // No closing animation began, after which a strip could come.
        QVERIFY(!animating(list.table));
        QVERIFY(!list.table->msgLabel());

        // Finishing twice after one load: the second call is idle too.
        drag(list.table, 130);
        list.table->tableViewDidFinishedLoading();
        QTRY_VERIFY(settled(list.table, {}) && !animating(list.table));
        list.table->tableViewDidFinishedLoadingWithMessage("无最新数据！");
        QVERIFY(!animating(list.table));
        QVERIFY(!list.table->msgLabel());
    }

    void headerOnlyHasNoFooter() {
        Owner owner(20);
        List list(&owner);
        list.table->setHeaderOnly(true);
        QVERIFY(list.table->footerView()->isHidden());
        list.table->setContentOffset(list.table->maximumContentOffset());
        drag(list.table, -200);
        for (int i = 0; i < 4; ++i) {
            wheel(list.table, -48);
        }
        QCOMPARE(owner.loads, 0);
        QVERIFY(!list.table->isLoading());
        // The header still refreshes.
        list.table->setContentOffset(0);
        QTRY_VERIFY(settled(list.table, {}));
        drag(list.table, 130);
        QCOMPARE(owner.refreshes, 1);
        list.table->setHeaderOnly(false);
        QVERIFY(!list.table->footerView()->isHidden());
    }

    void wheelPastAnEndIsALetGoPull() {
        Owner owner(20);
        List list(&owner);
        // 59 points past the top in two turns: nothing; a 61st point in the same push: a refresh.
        wheel(list.table, 30);
        wheel(list.table, 29);
        QCOMPARE(owner.refreshes, 0);
        QCOMPARE(list.table->contentOffset(), 0.0);
        wheel(list.table, 2);
        QCOMPARE(owner.refreshes, 1);
        QTRY_COMPARE(list.table->contentOffset(), -60.0);  // the open header in sight
        list.table->tableViewDidFinishedLoading();
        QTRY_VERIFY(settled(list.table, {}));

        // Scrolling down to the end and on: only what goes past the end pushes.
        list.table->setContentOffset(list.table->maximumContentOffset() - 100);
        wheel(list.table, -130);  // 100 to the end, 30 past it
        QCOMPARE(owner.loads, 0);
        wheel(list.table, -31);
        QCOMPARE(owner.loads, 1);
        QCOMPARE(list.table->footerView()->stateText(), QString("正在加载"));
        QTRY_VERIFY(settled(list.table, {0, 60}));
        // The open footer is scrolled into sight.
        QTRY_COMPARE(list.table->contentOffset(), 20 * 44 + 60 - 416.0);
    }

    void launchAndF5StartARefresh() {
        Owner owner(20);
        List list(&owner);
        list.table->setContentOffset(300);
        list.table->launchRefreshing();
        QTRY_COMPARE(owner.refreshes, 1);
        QTRY_VERIFY(settled(list.table, {60, 0}));
        QCOMPARE(list.table->contentOffset(), -60.0);
        list.table->tableViewDidFinishedLoading();
        QTRY_VERIFY(settled(list.table, {}));

        list.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&list.window));
        QTest::keyClick(&list.window, Qt::Key_F5);
        QTRY_COMPARE(owner.refreshes, 2);
        list.table->tableViewDidFinishedLoading();
        QTRY_VERIFY(settled(list.table, {}) && !animating(list.table));
        // A list out of sight (a screen under another) does not answer.
        list.table->hide();
        QTest::keyClick(&list.window, Qt::Key_F5);
        QVERIFY(!animating(list.table));
        QCOMPARE(owner.refreshes, 2);
    }

    void anOwnerThatFinishesAtOnceOrClosesTheList() {
        Owner owner(20);
        auto* window = new QWidget;
        window->resize(320, 416);
        QPointer<PullingRefreshTableView> table = new PullingRefreshTableView(&owner, window);
        table->setGeometry(0, 0, 320, 416);
        table->setDataSource(&owner);
        window->show();
        // Finishing inside the start call closes the header again.
        owner.onStart = [](PullingRefreshTableView* t) { t->tableViewDidFinishedLoading(); };
        drag(table, 130);
        QCOMPARE(owner.refreshes, 1);
        QVERIFY(!table->isLoading());
        QTRY_VERIFY(settled(table, {}));
        // Closing the screen inside the start call of a launched refresh.
        owner.onStart = [window](PullingRefreshTableView*) { delete window; };
        table->launchRefreshing();
        QTRY_VERIFY(!table);
        QCOMPARE(owner.refreshes, 2);
    }
};

// The last-update text for each distance from the update to now.
class LoadingViewTest : public QObject {
    Q_OBJECT

private slots:
    void dayWords_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QString>("text");
        const QDateTime noon(QDate(2026, 3, 5), QTime(12, 0));
        QTest::newRow("earlier today") << noon << noon.addSecs(-3 * 3600) << "今天 09:00";
        QTest::newRow("one day") << noon << noon.addDays(-1) << "昨天 12:00";
        QTest::newRow("two days back, later in the day")
            << noon << noon.addDays(-2).addSecs(3600) << "前天 13:00";
        QTest::newRow("three days") << noon << noon.addDays(-3) << "2026-03-02 12:00";
        QTest::newRow("a month back") << noon << noon.addMonths(-1) << "2026-02-05 12:00";
        QTest::newRow("tomorrow") << noon << noon.addDays(1) << "今天 12:00";
        QTest::newRow("next year") << noon << noon.addYears(1) << "2027-03-05 12:00";
        // Calendar days: twenty minutes before midnight is yesterday, not today.
        const QDateTime tenPast(QDate(2026, 3, 5), QTime(0, 10));
        QTest::newRow("just before midnight")
            << tenPast << QDateTime(QDate(2026, 3, 4), QTime(23, 50)) << "昨天 23:50";
        QTest::newRow("two nights back")
            << tenPast << QDateTime(QDate(2026, 3, 3), QTime(23, 50)) << "前天 23:50";
        QTest::newRow("across the month's end")
            << QDateTime(QDate(2026, 3, 1), QTime(8, 0))
            << QDateTime(QDate(2026, 2, 27), QTime(20, 0)) << "前天 20:00";
    }

    void dayWords() {
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, date);
        QFETCH(QString, text);
        QCOMPARE(LoadingView::lastUpdateText(date, now), "最后更新: " + text);
        LoadingView header(true);
        header.setClock([now] { return now; });
        header.updateRefreshDate(date);
        QCOMPARE(header.dateText(), "最后更新: " + text);
    }

    void statesAndTheirTexts() {
        LoadingView footer(false);
        footer.resize(320, 416);
        QCOMPARE(footer.stateText(), QString("上拉加载"));
        footer.setState(LoadingView::kNormal);  // the state it has: nothing changes
        QCOMPARE(footer.stateText(), QString("上拉加载"));
        footer.setState(LoadingView::kPulling, false);
        QVERIFY(footer.isArrowTurned());
        footer.setState(LoadingView::kLoading);
        QVERIFY(footer.isLoading());
        // While loading, the normal state is stored but not shown.
        footer.setState(LoadingView::kNormal);
        QCOMPARE(footer.state(), LoadingView::kNormal);
        QCOMPARE(footer.stateText(), QString("正在加载"));
        footer.setLoading(false);
        footer.setState(LoadingView::kPulling, false);
        footer.setState(LoadingView::kNormal, false);
        QCOMPARE(footer.stateText(), QString("上拉加载更多"));
        QVERIFY(!footer.isArrowTurned());
        footer.setState(7);  // out of range: stored only
        QCOMPARE(footer.state(), 7);
        QCOMPARE(footer.stateText(), QString("上拉加载更多"));

        // The header only stores the end state.
        LoadingView header(true);
        header.resize(320, 416);
        header.setState(LoadingView::kEnd);
        QCOMPARE(header.stateText(), QString("下拉刷新"));
        QVERIFY(header.isArrowVisible());
    }
};

}  // namespace oa

OA_KIT_TEST(PullingRefreshTableViewTest)
OA_KIT_TEST(LoadingViewTest)
#include "PullingRefreshTableViewTest.moc"
