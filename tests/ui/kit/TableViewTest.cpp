// The table view: what it asks its data source, cell reuse, widgets only for rows in sight,
// selection by tap, scrolling by drag, wheel and programmatically, insets and row updates.
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>
#include <functional>
#include <map>

#include "KitTest.h"
#include "ui/kit/TableView.h"
#include "ui/kit/ViewTags.h"

namespace oa {
namespace {

// A data source and delegate over a list of row counts, recording what the table asks.
class Rows : public TableViewDataSource, public TableViewDelegate {
public:
    explicit Rows(QList<int> rowCounts) : counts(std::move(rowCounts)) {}

    int numberOfSectionsInTableView(TableView*) override { return int(counts.size()); }
    int numberOfRowsInSection(TableView*, int section) override { return counts.at(section); }
    TableViewCell* cellForRowAtIndexPath(TableView* table, const IndexPath& path) override {
        ++cellRequests;
        auto* cell = table->dequeueReusableCellWithIdentifier(QStringLiteral("row"));
        if (!cell) {
            cell = new TableViewCell(TableViewCell::Style::Default, QStringLiteral("row"));
            ++cellsCreated;
        }
        cell->textLabel()->setText(QStringLiteral("%1-%2").arg(path.section).arg(path.row));
        return cell;
    }
    QString titleForHeaderInSection(TableView*, int section) override {
        return headerTitles.value(section);
    }
    qreal heightForRowAtIndexPath(TableView*, const IndexPath& path) override {
        return rowHeight ? rowHeight(path) : -1;
    }
    void didSelectRowAtIndexPath(TableView*, const IndexPath& path) override {
        events.append(QStringLiteral("select %1-%2").arg(path.section).arg(path.row));
    }
    void didDeselectRowAtIndexPath(TableView*, const IndexPath& path) override {
        events.append(QStringLiteral("deselect %1-%2").arg(path.section).arg(path.row));
    }
    void scrollViewWillBeginDragging(ScrollView*) override { events.append("beginDrag"); }
    void scrollViewDidEndDragging(ScrollView* view, bool willDecelerate) override {
        events.append(willDecelerate ? "endDrag decelerating" : "endDrag");
        if (onEndDragging) {
            onEndDragging(static_cast<TableView*>(view));
        }
    }
    void scrollViewDidEndDecelerating(ScrollView*) override { events.append("endDecelerating"); }

    QList<int> counts;
    QStringList headerTitles;
    std::function<qreal(const IndexPath&)> rowHeight;
    std::function<void(TableView*)> onEndDragging;
    int cellRequests = 0;
    int cellsCreated = 0;
    QStringList events;
};

// A shown 320 x 416 table over `rows`.
struct Table {
    QWidget window;
    TableView* table;
    Table(Rows* rows, TableView::Style style = TableView::Style::Plain) {
        window.resize(320, 416);
        table = new TableView(style, &window);
        table->setGeometry(0, 0, 320, 416);
        table->setDataSource(rows);
        table->setDelegate(rows);
        window.show();
    }
};

// Presses at `from`, moves there in steps to `to` and releases, as one finger would.
void drag(QWidget* widget, QPoint from, QPoint to, bool release = true) {
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    constexpr int kSteps = 5;
    for (int i = 1; i <= kSteps; ++i) {
        QTest::mouseMove(widget, from + (to - from) * i / kSteps);
    }
    if (release) {
        QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
    }
}

QString text(TableViewCell* cell) {
    return cell ? cell->textLabel()->text() : QString();
}

// A page that lays out its table itself, the way the client's pages do: the table is built,
// then given its data source, then sized by the page's resizeEvent.
class Page : public QWidget {
public:
    using QWidget::QWidget;
    void build(Rows* rows) {
        table = new TableView(TableView::Style::Grouped, this);
        table->setScrollEnabled(false);
        table->setDataSource(rows);
        table->setDelegate(rows);
        resizeEvent(nullptr);
    }
    TableView* table = nullptr;

protected:
    void resizeEvent(QResizeEvent*) override {
        if (table) {
            table->setGeometry(0, 0, width(), 190);
        }
    }
};

}  // namespace

class TableViewTest : public QObject {
    Q_OBJECT

private slots:
    void tenThousandRowsMakeOnlyVisibleCells() {
        Rows rows({10000});
        Table t(&rows);
        QCOMPARE(t.table->contentSize(), QSizeF(320, 10000 * 44));
        // 416 points of 44-point rows: rows 0 to 9 are (partly) in sight.
        QCOMPARE(t.table->indexPathsForVisibleRows().size(), 10);
        QCOMPARE(rows.cellsCreated, 10);
        QCOMPARE(rows.cellRequests, 10);
        QCOMPARE(t.table->findChildren<TableViewCell*>().size(), 10);

        // Jumping deep into the list reuses the cells that left.
        t.table->setContentOffset(5000 * 44 + 22);
        QCOMPARE(t.table->indexPathsForVisibleRows().first(), (IndexPath{0, 5000}));
        QCOMPARE(t.table->indexPathsForVisibleRows().last(), (IndexPath{0, 5009}));
        QCOMPARE(text(t.table->cellForRowAtIndexPath({0, 5000})), QString("0-5000"));
        QCOMPARE(t.table->cellForRowAtIndexPath({0, 5000})->y(), -22);
        QVERIFY(!t.table->cellForRowAtIndexPath({0, 0}));

        // Scrolling through a long stretch row by row never grows the set of widgets.
        for (int y = 0; y < 2000; y += 7) {
            t.table->setContentOffset(y);
        }
        t.table->setContentOffset(t.table->maximumContentOffset());
        QCOMPARE(t.table->indexPathsForVisibleRows().last(), (IndexPath{0, 9999}));
        QVERIFY2(rows.cellsCreated <= 11, qPrintable(QString::number(rows.cellsCreated)));
        QCOMPARE(t.table->findChildren<TableViewCell*>().size(), rows.cellsCreated);

        // Reloading asks only for the rows in sight again, with the same cells.
        const int before = rows.cellRequests;
        t.table->reloadData();
        QCOMPARE(rows.cellRequests - before, t.table->indexPathsForVisibleRows().size());
        QVERIFY(rows.cellsCreated <= 11);
    }

    void sectionsHeadersAndRowHeights() {
        Rows rows({2, 0, 3});
        rows.headerTitles = {"A", "", "C"};
        rows.rowHeight = [](const IndexPath& path) { return path.section == 2 ? 62.2 : -1; };
        Table t(&rows);
        QCOMPARE(t.table->numberOfSections(), 3);
        QCOMPARE(t.table->numberOfRowsInSection(1), 0);
        // Plain style: a titled header is 22 points, an untitled one takes no room.
        QCOMPARE(t.table->rectForRowAtIndexPath({0, 0}), QRectF(0, 22, 320, 44));
        QCOMPARE(t.table->rectForRowAtIndexPath({0, 1}), QRectF(0, 66, 320, 44));
        QCOMPARE(t.table->rectForRowAtIndexPath({2, 0}).top(), 110.0 + 22);
        QCOMPARE(t.table->rectForRowAtIndexPath({2, 2}).height(), 62.2);
        QCOMPARE(t.table->contentSize().height(), 132 + 3 * 62.2);
        // Rows and points outside the table give nothing.
        QCOMPARE(t.table->rectForRowAtIndexPath({1, 0}), QRectF());
        QCOMPARE(t.table->indexPathForRowAtPoint({10, 10}), std::nullopt);  // on header "A"
        QCOMPARE(t.table->indexPathForRowAtPoint({10, 140}), (IndexPath{2, 0}));
        QCOMPARE(t.table->indexPathForRowAtPoint({10, 400}), std::nullopt);
        // Adjacent fractional rows meet without a gap.
        TableViewCell* first = t.table->cellForRowAtIndexPath({2, 0});
        TableViewCell* second = t.table->cellForRowAtIndexPath({2, 1});
        QCOMPARE(first->geometry().bottom() + 1, second->geometry().top());
    }

    // One section per row, as a chat timeline has: the headers in sight are there after a jump
    // into the middle, and the ones out of sight are not.
    void headersOfManySectionsFollowTheOffset() {
        struct Headed : Rows {
            using Rows::Rows;
            qreal heightForHeaderInSection(TableView*, int) override { return 20; }
            QWidget* viewForHeaderInSection(TableView*, int section) override {
                auto* header = new QWidget;
                setTag(header, 1000 + section);
                return header;
            }
        };
        Headed rows(QList<int>(3000, 1));
        Table t(&rows);
        QCOMPARE(t.table->numberOfSections(), 3000);
        const qreal offset = t.table->rectForSection(1500).top() + 30;
        t.table->setContentOffset(offset);
        int shown = 0;
        for (int section = 1490; section < 1520; ++section) {
            const QRectF rect = t.table->rectForSection(section);
            const bool inSight = rect.bottom() > offset && rect.top() < offset + 416;
            QWidget* header = viewWithTag(t.table, 1000 + section);
            QCOMPARE(header && header->isVisible(), inSight);
            shown += inSight;
        }
        QVERIFY(shown >= 6);
        // The first screen's headers went (deleted later); the last section's never came.
        QWidget* first = viewWithTag(t.table, 1000);
        QVERIFY(!first || !first->isVisible());
        QVERIFY(!viewWithTag(t.table, 1000 + 2999));
    }

    void groupedCellsKnowTheirPlaceInTheSection() {
        Rows rows({1, 3});
        Table t(&rows, TableView::Style::Grouped);
        using P = TableViewCell::GroupPosition;
        const std::map<IndexPath, P> expected = {
            {{0, 0}, P::Single}, {{1, 0}, P::Top}, {{1, 1}, P::Middle}, {{1, 2}, P::Bottom}};
        for (const auto& [path, position] : expected) {
            QCOMPARE(t.table->cellForRowAtIndexPath(path)->groupPosition(), position);
        }
        // Untitled grouped sections are spaced 10 points above and below.
        QCOMPARE(t.table->rectForRowAtIndexPath({0, 0}).top(), 10.0);
        QCOMPARE(t.table->rectForRowAtIndexPath({1, 0}).top(), 10.0 + 44 + 10 + 10);
    }

    void reuseIsByIdentifier() {
        Rows rows({100});
        Table t(&rows);
        QPointer<TableViewCell> top = t.table->cellForRowAtIndexPath({0, 0});
        t.table->selectRowAtIndexPath({0, 0}, false);
        QVERIFY(top->isSelected());
        t.table->setContentOffset(44 * 20);
        // The cell that showed row 0 is out of sight, kept, and now shows a row further down,
        // no longer selected.
        QVERIFY(top);
        const auto path = t.table->indexPathForCell(top);
        QVERIFY(path.has_value());
        QVERIFY(path->row >= 20);
        QCOMPARE(text(top), QString("0-%1").arg(path->row));
        QVERIFY(!top->isSelected());
        // Scrolling back shows row 0 selected again, whichever cell shows it.
        t.table->setContentOffset(0);
        QVERIFY(t.table->cellForRowAtIndexPath({0, 0})->isSelected());
        QCOMPARE(t.table->dequeueReusableCellWithIdentifier("other"), nullptr);
        QCOMPARE(t.table->dequeueReusableCellWithIdentifier(""), nullptr);
    }

    void tapSelectsAndDragDoesNot() {
        Rows rows({30});
        Table t(&rows);
        // A click on the label inside the cell reaches the table.
        TableViewCell* cell = t.table->cellForRowAtIndexPath({0, 2});
        QTest::mouseClick(cell->textLabel(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(rows.events, QStringList({"select 0-2"}));
        QCOMPARE(t.table->indexPathForSelectedRow(), (IndexPath{0, 2}));
        QVERIFY(cell->isSelected());

        QTest::mouseClick(t.table, Qt::LeftButton, {}, QPoint(100, 5 * 44 + 10));
        QCOMPARE(rows.events, QStringList({"select 0-2", "deselect 0-2", "select 0-5"}));
        QVERIFY(!cell->isSelected());

        // Pressing highlights; moving away turns the press into a drag, which selects nothing.
        rows.events.clear();
        QTest::mousePress(t.table, Qt::LeftButton, {}, QPoint(100, 100));
        QVERIFY(t.table->cellForRowAtIndexPath({0, 2})->isHighlighted());
        QTest::mouseMove(t.table, QPoint(100, 60));
        QVERIFY(!t.table->cellForRowAtIndexPath({0, 2})->isHighlighted());
        QTest::mouseRelease(t.table, Qt::LeftButton, {}, QPoint(100, 60));
        QCOMPARE(rows.events, QStringList({"beginDrag", "endDrag"}));
        QCOMPARE(t.table->indexPathForSelectedRow(), (IndexPath{0, 5}));

        t.table->setAllowsSelection(false);
        QCOMPARE(t.table->indexPathForSelectedRow(), std::nullopt);
        rows.events.clear();
        QTest::mouseClick(t.table, Qt::LeftButton, {}, QPoint(100, 100));
        QVERIFY(rows.events.isEmpty());
    }

    void dragScrollsAndSpringsBack() {
        Rows rows({30});
        Table t(&rows);
        QSignalSpy scrolled(t.table, &ScrollView::didScroll);
        // Dragging up by 100 points moves the content by 100.
        drag(t.table, {100, 300}, {100, 200});
        QCOMPARE(t.table->contentOffset(), 100.0);
        QVERIFY(scrolled.count() >= 1);
        QCOMPARE(rows.events, QStringList({"beginDrag", "endDrag"}));
        QVERIFY(!t.table->isDecelerating());

        // Past the top, the content follows at half the drag, then springs back on release.
        t.table->setContentOffset(0);
        rows.events.clear();
        drag(t.table, {100, 100}, {100, 220}, false);
        QCOMPARE(t.table->contentOffset(), -60.0);
        QVERIFY(t.table->isDragging());
        QTest::mouseRelease(t.table, Qt::LeftButton, {}, QPoint(100, 220));
        QCOMPARE(rows.events, QStringList({"beginDrag", "endDrag decelerating"}));
        QVERIFY(t.table->isDecelerating());
        QTRY_COMPARE_WITH_TIMEOUT(t.table->contentOffset(), 0.0, 5000);
        QVERIFY(!t.table->isDecelerating());
        QCOMPARE(rows.events.last(), QString("endDecelerating"));

        // Past the end likewise.
        const qreal end = t.table->maximumContentOffset();
        QCOMPARE(end, 30 * 44 - 416.0);
        t.table->setContentOffset(end);
        drag(t.table, {100, 300}, {100, 200});
        QTRY_COMPARE_WITH_TIMEOUT(t.table->contentOffset(), end, 5000);
    }

    void insetSetOnReleaseHoldsTheContentOpen() {
        // What a pull-to-refresh list does: released beyond 60 points, it opens a 60-point
        // header by setting the top inset, loads, then closes it again.
        Rows rows({30});
        Table t(&rows);
        rows.onEndDragging = [](TableView* table) {
            if (table->contentOffset() < -60) {
                table->setContentInset({60, 0});
            }
        };
        drag(t.table, {100, 50}, {100, 200});
        QCOMPARE(t.table->contentInset(), (EdgeInsets{60, 0}));
        QCOMPARE(t.table->minimumContentOffset(), -60.0);
        QTRY_COMPARE_WITH_TIMEOUT(t.table->contentOffset(), -60.0, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!t.table->isDecelerating(), 5000);

        // Closing the inset at rest takes the content with it.
        bool closed = false;
        t.table->animateContentInset({0, 0}, 50, [&closed] { closed = true; });
        QTRY_VERIFY_WITH_TIMEOUT(closed, 5000);
        QCOMPARE(t.table->contentOffset(), 0.0);

        // A programmatic offset beyond the ends is kept: the inset widening does not move it.
        t.table->setContentOffset(-61);
        t.table->setContentInset({60, 0});
        QCOMPARE(t.table->contentOffset(), -61.0);
    }

    void wheelKeysAndProgrammaticScrolling() {
        Rows rows({30});
        Table t(&rows);
        QWheelEvent down(QPointF(100, 100), t.table->mapToGlobal(QPointF(100, 100)), QPoint(),
                         QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(t.table, &down);
        QCOMPARE(t.table->contentOffset(), 96.0);
        for (int i = 0; i < 20; ++i) {
            QApplication::sendEvent(t.table, &down);
        }
        QCOMPARE(t.table->contentOffset(), t.table->maximumContentOffset());

        // Keys scroll a table whose rows cannot be chosen; otherwise they move the current row.
        t.table->setAllowsSelection(false);
        QTest::keyClick(t.table, Qt::Key_Home);
        QCOMPARE(t.table->contentOffset(), 0.0);
        QTest::keyClick(t.table, Qt::Key_Down);
        QCOMPARE(t.table->contentOffset(), 40.0);
        t.table->setAllowsSelection(true);

        t.table->scrollToRowAtIndexPath({0, 20}, TableView::ScrollPosition::Top, false);
        QCOMPARE(t.table->contentOffset(), 20 * 44.0);
        t.table->scrollToRowAtIndexPath({0, 29}, TableView::ScrollPosition::Top, false);
        QCOMPARE(t.table->contentOffset(), t.table->maximumContentOffset());
        bool done = false;
        t.table->animateContentOffset(10, 40, [&done] { done = true; });
        QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
        QCOMPARE(t.table->contentOffset(), 10.0);

        // A table that does not scroll ignores drags and the wheel, but still selects.
        t.table->setScrollEnabled(false);
        drag(t.table, {100, 300}, {100, 100});
        QApplication::sendEvent(t.table, &down);
        QCOMPARE(t.table->contentOffset(), 10.0);
        QTest::mouseClick(t.table, Qt::LeftButton, {}, QPoint(100, 40));
        QCOMPARE(rows.events.last(), QString("select 0-1"));
    }

    void keysMoveTheCurrentRowAndOpenIt_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QStringList>("events");
        using K = QList<int>;
        QTest::newRow("first Down starts at the top row")
            << K{Qt::Key_Down} << "0-0" << QStringList();
        QTest::newRow("Down crosses into the next section")
            << K{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down} << "1-0" << QStringList();
        QTest::newRow("Up stops at the first row")
            << K{Qt::Key_Down, Qt::Key_Up, Qt::Key_Up} << "0-0" << QStringList();
        QTest::newRow("End reaches the last row") << K{Qt::Key_End} << "1-29" << QStringList();
        QTest::newRow("Page Down moves by the rows in sight")
            << K{Qt::Key_Down, Qt::Key_PageDown} << "1-6" << QStringList();
        QTest::newRow("Enter opens the current row")
            << K{Qt::Key_Down, Qt::Key_Down, Qt::Key_Return} << "0-1" << QStringList{"select 0-1"};
        QTest::newRow("Space opens it too")
            << K{Qt::Key_End, Qt::Key_Space} << "1-29" << QStringList{"select 1-29"};
        QTest::newRow("Enter before any move opens nothing")
            << K{Qt::Key_Return} << "" << QStringList();
    }

    void keysMoveTheCurrentRowAndOpenIt() {
        QFETCH(QList<int>, keys);
        QFETCH(QString, current);
        QFETCH(QStringList, events);
        Rows rows({3, 30});
        Table t(&rows);
        QVERIFY(QTest::qWaitForWindowActive(&t.window));
        t.table->setFocus();
        for (int key : keys) {
            QTest::keyClick(t.table, Qt::Key(key));
        }
        const std::optional<IndexPath> row = t.table->currentRow();
        QCOMPARE(row ? QStringLiteral("%1-%2").arg(row->section).arg(row->row) : QString(),
                 current);
        QCOMPARE(rows.events, events);
        if (row) {
            // The current row is in sight, ringed while the table has the focus.
            const QRectF r = t.table->rectForRowAtIndexPath(*row);
            QVERIFY(r.top() >= t.table->contentOffset());
            QVERIFY(r.bottom() <= t.table->contentOffset() + t.table->height());
            const auto* ring = t.table->findChild<FocusRingView*>();
            QVERIFY(ring && ring->isVisible());
            t.table->clearFocus();
            QVERIFY(!ring->isVisible());
        }
    }

    void insertAndDeleteMoveTheSelection() {
        Rows rows({5});
        Table t(&rows);
        QSignalSpy resized(t.table, &ScrollView::contentSizeChanged);
        t.table->selectRowAtIndexPath({0, 2}, false);

        rows.counts = {7};  // two rows at the top
        t.table->insertRowsAtIndexPaths({{0, 0}, {0, 1}});
        QCOMPARE(t.table->indexPathForSelectedRow(), (IndexPath{0, 4}));
        QVERIFY(t.table->cellForRowAtIndexPath({0, 4})->isSelected());
        QVERIFY(!t.table->cellForRowAtIndexPath({0, 2})->isSelected());
        QCOMPARE(resized.count(), 1);
        QCOMPARE(resized.last().first().toSizeF(), QSizeF(320, 7 * 44));

        rows.counts = {8};  // one appended: the selection stays
        t.table->insertRowsAtIndexPaths({{0, 7}});
        QCOMPARE(t.table->indexPathForSelectedRow(), (IndexPath{0, 4}));

        rows.counts = {6};
        t.table->deleteRowsAtIndexPaths({{0, 0}, {0, 7}});
        QCOMPARE(t.table->indexPathForSelectedRow(), (IndexPath{0, 3}));
        rows.counts = {5};
        t.table->deleteRowsAtIndexPaths({{0, 3}});
        QCOMPARE(t.table->indexPathForSelectedRow(), std::nullopt);

        // A plain reload clears the selection and pulls an offset past the new end back.
        t.table->selectRowAtIndexPath({0, 1}, false);
        rows.counts = {100};
        t.table->reloadData();
        t.table->setContentOffset(3000);
        rows.counts = {12};
        t.table->reloadData();
        QCOMPARE(t.table->indexPathForSelectedRow(), std::nullopt);
        QCOMPARE(t.table->contentOffset(), 12 * 44 - 416.0);
    }

    void contentSubviewsScrollWithTheContent() {
        Rows rows({30});
        Table t(&rows);
        auto* header = new QLabel("header");
        t.table->addContentSubview(header, QRectF(0, -60, 320, 60));
        QCOMPARE(header->geometry(), QRect(0, -60, 320, 60));
        t.table->setContentOffset(-60);
        QCOMPARE(header->geometry(), QRect(0, 0, 320, 60));
        t.table->setContentSubviewFrame(header, QRectF(0, -40, 320, 40));
        QCOMPARE(header->geometry(), QRect(0, 20, 320, 40));
        // It stays above rows that appear later.
        t.table->setContentOffset(-30);
        t.table->reloadData();
        const QList<QObject*> children = t.table->children();
        QVERIFY(children.indexOf(header) > children.indexOf(t.table->visibleCells().first()));
    }

    // A page builds its table while it is hidden and before it has its final size: the table
    // gets its data source first, its size from the page's resizeEvent, and is shown only with
    // the page. It must show its rows then without anyone calling reloadData.
    void tableBuiltOnAHiddenPageLoadsWhenShown_data() {
        QTest::addColumn<bool>("windowShownFirst");
        QTest::addColumn<bool>("viewInWindowFirst");
        QTest::addColumn<bool>("grabbedWhileHidden");
        QTest::newRow("view built apart") << false << false << false;
        QTest::newRow("view built apart, window shown") << true << false << false;
        QTest::newRow("view in hidden window") << false << true << false;
        QTest::newRow("view in shown window") << true << true << false;
        // Painting a view through an effect (a screen fading) sends the pending resizes
        // through its whole tree, hidden pages included, with updates turned off.
        QTest::newRow("view painted through an effect while the page is hidden")
            << true << false << true;
    }
    void tableBuiltOnAHiddenPageLoadsWhenShown() {
        QFETCH(bool, windowShownFirst);
        QFETCH(bool, viewInWindowFirst);
        QFETCH(bool, grabbedWhileHidden);
        Rows rows({1, 2});
        QWidget window;
        window.resize(320, 416);
        if (windowShownFirst) {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        auto* view = new QWidget(viewInWindowFirst ? &window : nullptr);
        view->resize(320, 416);
        auto* page = new Page(view);
        page->setGeometry(0, 0, 320, 367);
        page->hide();
        page->build(&rows);
        if (!viewInWindowFirst) {
            view->setParent(&window);
        }
        view->show();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (grabbedWhileHidden) {
            // Painting through an effect renders the view's whole tree, hidden page included,
            // and Qt sends the pending resizes there with updates turned off.
            view->setGraphicsEffect(new QGraphicsOpacityEffect);
            view->grab();
            view->setGraphicsEffect(nullptr);
        }
        page->show();
        QCoreApplication::processEvents();

        TableView* table = page->table;
        QCOMPARE(table->size(), QSize(320, 190));
        QCOMPARE(table->numberOfSections(), 2);
        QCOMPARE(table->indexPathsForVisibleRows(), (QList<IndexPath>{{0, 0}, {1, 0}, {1, 1}}));
        for (TableViewCell* cell : table->visibleCells()) {
            QVERIFY(cell->isVisible());
            QVERIFY(cell->updatesEnabled());
            QCOMPARE(cell->width(), 320);
        }
        QCOMPARE(text(table->cellForRowAtIndexPath({1, 1})), QStringLiteral("1-1"));
    }
};

}  // namespace oa

OA_KIT_TEST(TableViewTest)
#include "TableViewTest.moc"
