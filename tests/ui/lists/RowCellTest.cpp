// The reusable cell of the module list inside a real table: identifier, divider, disclosure
// chevron above the row, marks near the right edge left whole, and each row in sight drawing its
// own record while 10,000 rows scroll by with a screenful of cells.
#include <QtTest>
#include <functional>
#include <memory>
#include <string>

#include "core/protocol/ListRecords.h"
#include "ui/controller/main/EmailView.h"
#include "ui/controller/main/FuncListLogic.h"
#include "ui/controller/main/ModuleRowCell.h"
#include "ui/controller/main/RowLabel.h"
#include "ui/kit/TableView.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

// The module list's rows over a list of records, as the list screen feeds its table.
class Rows : public TableViewDataSource, public TableViewDelegate {
public:
    Rows(std::string moduleKey, RecordList records)
        : key(std::move(moduleKey)), list(std::move(records)) {}

    int numberOfRowsInSection(TableView*, int) override { return int(list.size()); }
    TableViewCell* cellForRowAtIndexPath(TableView* table, const IndexPath& path) override {
        auto* cell = static_cast<ModuleRowCell*>(table->dequeueReusableCellWithIdentifier("_CELL"));
        if (!cell) {
            cell = new ModuleRowCell;
            ++created;
        }
        cell->showRecord(key, path.row < int(list.size()) ? list[size_t(path.row)] : nullptr);
        return cell;
    }
    qreal heightForRowAtIndexPath(TableView*, const IndexPath&) override { return 62.2; }
    void didSelectRowAtIndexPath(TableView* table, const IndexPath& path) override {
        if (onSelect) {
            onSelect(table, path);
        }
    }

    std::string key;
    RecordList list;
    int created = 0;
    std::function<void(TableView*, const IndexPath&)> onSelect;
};

RecordList emails(int count) {
    RecordList list;
    for (int i = 0; i < count; ++i) {
        auto email = std::make_shared<EmailVO>();
        email->q_id = std::to_string(i);
        email->subject = "邮件 " + std::to_string(i);
        email->read_flag = i % 2 ? "1" : "0";
        email->has_attachment = i % 3 ? "0" : "1";
        list.push_back(email);
    }
    return list;
}

struct Screen {
    QWidget window;
    TableView* table;
    explicit Screen(Rows* rows) {
        window.resize(320, 416);
        table = new TableView(TableView::Style::Plain, &window);
        table->setGeometry(0, 0, 320, 416);
        table->setSeparatorStyle(TableView::SeparatorStyle::None);
        table->setDataSource(rows);
        table->setDelegate(rows);
        window.show();
        table->reloadData();
    }
};

}  // namespace

class RowCellTest : public QObject {
    Q_OBJECT

private slots:
    void cellParts() {
        Rows rows("email", emails(3));
        Screen screen(&rows);
        auto* cell = qobject_cast<ModuleRowCell*>(screen.table->cellForRowAtIndexPath({0, 0}));
        QVERIFY(cell);
        QCOMPARE(cell->reuseIdentifier(), QStringLiteral("_CELL"));
        QCOMPARE(cell->selectionStyle(), TableViewCell::SelectionStyle::Blue);
        QCOMPARE(cell->accessoryType(), TableViewCell::AccessoryType::DisclosureIndicator);
        QCOMPARE(cell->divider()->objectName(), QStringLiteral("dividerline.png"));
        QCOMPARE(cell->divider()->y(), 60);
        QCOMPARE(cell->divider()->x(), 0);
        QCOMPARE(cell->divider()->width(), cell->width());
        QVERIFY(qobject_cast<EmailView*>(cell->rowView()));
        QCOMPARE(cell->rowView()->parentWidget(), cell->contentView());
    }

    // The attachment mark near the right edge stays whole and apart from the chevron, which
    // stays visible above an unread background.
    void marksNearTheRightEdgeStayWhole() {
        Rows rows("email", emails(1));
        Screen screen(&rows);
        auto* cell = qobject_cast<ModuleRowCell*>(screen.table->cellForRowAtIndexPath({0, 0}));
        QVERIFY(cell && cell->rowView());
        QCOMPARE(cell->rowView()->backgroundColor(), QColor(251, 230, 133));
        auto* attach = cell->rowView()->findChild<QLabel*>(QStringLiteral("attach"));
        QVERIFY(attach);
        const QRect inCell(attach->mapTo(cell, QPoint(0, 0)), attach->size());
        QVERIFY2(cell->contentView()->geometry().contains(inCell),
                 "the attachment mark is clipped by the content view");

        QWidget* chevron = cell->accessoryView();
        QVERIFY(chevron);
        QVERIFY(cell->rect().contains(chevron->geometry()));
        QVERIFY2(!inCell.intersects(chevron->geometry()), "the mark runs into the chevron");
        // Siblings stack in the order of the parent's children, the last on top.
        const QObjectList& stack = cell->children();
        QVERIFY(stack.indexOf(chevron) > stack.indexOf(cell->contentView()));
        QVERIFY(stack.indexOf(cell->divider()) > stack.indexOf(cell->contentView()));
    }

    // Cells come back for other rows: each row in sight shows its own record, with its own read
    // state and marks, and only about a screenful of cells exists.
    void tenThousandRowsReuseAScreenfulOfCells() {
        Rows rows("email", emails(10000));
        Screen screen(&rows);
        const int perScreen = int(std::ceil(416 / 62.2)) + 1;
        qreal y = 0;
        const qreal end = screen.table->maximumContentOffset();
        int checkedRows = 0;
        while (true) {
            screen.table->setContentOffset(std::min(y, end));
            const QList<TableViewCell*> cells = screen.table->visibleCells();
            QVERIFY(cells.size() <= perScreen);
            for (TableViewCell* cell : cells) {
                auto* row = qobject_cast<ModuleRowCell*>(cell);
                QVERIFY(row && row->rowView());
                const std::optional<IndexPath> path = screen.table->indexPathForCell(cell);
                QVERIFY(path);
                QCOMPARE(row->rowView()->q_id(), Text(std::to_string(path->row)));
                auto* subject = row->rowView()->findChild<RowLabel*>(QStringLiteral("subject"));
                QVERIFY(subject);
                QCOMPARE(subject->text(), QStringLiteral("邮件 %1").arg(path->row));
                QCOMPARE(row->rowView()->backgroundColor(),
                         path->row % 2 ? QColor(Qt::transparent) : QColor(251, 230, 133));
                QCOMPARE(row->rowView()->findChild<QLabel*>(QStringLiteral("attach")) != nullptr,
                         path->row % 3 == 0);
                // One row view per cell: the old row's view is gone.
                QCOMPARE(row->contentView()
                             ->findChildren<BaseView*>(QString(), Qt::FindDirectChildrenOnly)
                             .size(),
                         1);
                ++checkedRows;
            }
            if (y >= end) {
                break;
            }
            y += 416 * 3 + 17;
        }
        QVERIFY(checkedRows > 100);
        QVERIFY2(rows.created <= perScreen + 2, qPrintable(QString::number(rows.created)));
        QCOMPARE(screen.table->findChildren<ModuleRowCell*>().size(), qsizetype(rows.created));
    }

    // A tap on the text of an unread row marks it read and reloads the table, as the list does:
    // the row view under the finger is replaced while its tap is handled, and the row then
    // shows read.
    void tapOnUnreadRowRedrawsItRead() {
        FuncListLogic logic("email");
        logic.setList(emails(4));
        Rows rows("email", logic.list());
        rows.onSelect = [&](TableView* table, const IndexPath& path) {
            if (logic.markRead(size_t(path.row))) {
                table->reloadData();
            }
            auto* cell = static_cast<ModuleRowCell*>(table->cellForRowAtIndexPath(path));
            cell->rowView()->setBackgroundColor(Qt::transparent);
        };
        Screen screen(&rows);
        auto* cell = qobject_cast<ModuleRowCell*>(screen.table->cellForRowAtIndexPath({0, 2}));
        QVERIFY(cell && cell->rowView());
        QCOMPARE(cell->rowView()->backgroundColor(), QColor(251, 230, 133));
        QPointer<RowLabel> subject = cell->rowView()->findChild<RowLabel*>("subject");
        QVERIFY(subject);

        QTest::mouseClick(subject, Qt::LeftButton, {}, QPoint(5, 5));

        QVERIFY(!subject);
        cell = qobject_cast<ModuleRowCell*>(screen.table->cellForRowAtIndexPath({0, 2}));
        QVERIFY(cell && cell->rowView());
        QCOMPARE(cell->rowView()->backgroundColor(), QColor(Qt::transparent));
        QCOMPARE(std::static_pointer_cast<EmailVO>(logic.list()[2])->read_flag, Text("1"));
    }

    // A row past the list, or a module without a row view, is an empty row.
    void emptyRows() {
        ModuleRowCell cell;
        auto email = emails(1).front();
        QVERIFY(cell.showRecord("email", email));
        QVERIFY(!cell.showRecord("email", nullptr));
        QVERIFY(cell.contentView()->findChildren<QWidget*>().isEmpty());
        QVERIFY(!cell.showRecord("weather", email));
        QVERIFY(!cell.showRecord("no_such_module", email));
        QVERIFY(cell.contentView()->findChildren<QWidget*>().isEmpty());
        QVERIFY(!cell.rowView());
    }
};

}  // namespace oa

OA_QT_TEST(RowCellTest)
#include "RowCellTest.moc"
