// The pop-up list: entries in the given order, one callback per opening (a choice or a cancel),
// cancelling by a tap outside or Escape, and closing itself afterwards.
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include "KitTest.h"
#include "ui/kit/Images.h"
#include "ui/kit/LeveyPopListView.h"
#include "ui/kit/TableView.h"

namespace oa {

namespace {

class Recorder : public LeveyPopListViewDelegate {
public:
    void leveyPopListView(LeveyPopListView* list, int index) override {
        events.append(QStringLiteral("select %1 %2").arg(index).arg(list->options()[index].text));
    }
    void leveyPopListViewDidCancel() override { events.append("cancel"); }
    QStringList events;
};

QList<LeveyPopListView::Option> environments(const QStringList& names) {
    QList<LeveyPopListView::Option> options;
    for (const QString& name : names) {
        options.append({image("11.png"), name});
    }
    return options;
}

struct Shown {
    QWidget window;
    Recorder recorder;
    QPointer<LeveyPopListView> list;

    Shown(const QString& title, const QStringList& names) {
        window.resize(320, 480);
        window.show();
        list = new LeveyPopListView(title, environments(names));
        list->setDelegate(&recorder);
        list->showInView(&window, false);
    }
    TableView* table() const { return list->findChild<TableView*>("popListTable"); }
    // Clicks entry `index` where the user would: on its row of the table.
    void tap(int index) const {
        const QPoint centre = list->optionRect(index).center();
        QTest::mouseClick(table(), Qt::LeftButton, {}, table()->mapFrom(list.data(), centre));
    }
};

}  // namespace

class LeveyPopListViewTest : public QObject {
    Q_OBJECT

private slots:
    void entriesInOrderAndAChoice() {
        Shown shown("请选择网络环境", {"网络1", "办公室", "网络3"});
        QCOMPARE(shown.list->geometry(), shown.window.rect());
        QCOMPARE(shown.list->title(), QString("请选择网络环境"));
        TableView* table = shown.table();
        QCOMPARE(table->numberOfRowsInSection(0), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(table->cellForRowAtIndexPath({0, i})->textLabel()->text(),
                     shown.list->options()[i].text);
            QVERIFY(!table->cellForRowAtIndexPath({0, i})->imageView()->pixmap().isNull());
        }
        QVERIFY(shown.list->optionRect(0).bottom() < shown.list->optionRect(1).top());
        QVERIFY(shown.list->panelRect().contains(shown.list->optionRect(2)));

        QSignalSpy chosen(shown.list.data(), &LeveyPopListView::didSelect);
        shown.tap(1);
        QCOMPARE(shown.recorder.events, QStringList({"select 1 办公室"}));
        QCOMPARE(chosen.count(), 1);
        // Closing: a second tap or a cancel in the meantime reports nothing more.
        shown.list->select(2);
        shown.list->cancel();
        QCOMPARE(shown.recorder.events.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(shown.list.isNull(), 5000);
    }

    void tapOutsideCancels() {
        Shown shown("请选择网络环境", {"网络1"});
        // A tap on the panel's title is inside: nothing happens.
        const QRect panel = shown.list->panelRect();
        QTest::mouseClick(shown.list, Qt::LeftButton, {}, panel.topLeft() + QPoint(20, 10));
        QVERIFY(shown.recorder.events.isEmpty());
        QTest::mouseClick(shown.list, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(shown.recorder.events, QStringList({"cancel"}));
        QTRY_VERIFY_WITH_TIMEOUT(shown.list.isNull(), 5000);
    }

    void emptyListOnlyCancels() {
        Shown shown("请先去设置网络环境", {});
        QCOMPARE(shown.table()->numberOfRowsInSection(0), 0);
        QVERIFY(shown.list->panelRect().height() > 0);
        shown.list->select(0);  // no such entry
        QVERIFY(shown.recorder.events.isEmpty());
        QTest::keyClick(shown.list, Qt::Key_Escape);
        QCOMPARE(shown.recorder.events, QStringList({"cancel"}));
    }

    void manyEntriesScrollInsideTheWindow() {
        QStringList names;
        for (int i = 0; i < 40; ++i) {
            names.append(QString("网络%1").arg(i));
        }
        Shown shown("请选择网络环境", names);
        QVERIFY(shown.window.rect().contains(shown.list->panelRect()));
        QVERIFY(shown.table()->maximumContentOffset() > 0);
        shown.table()->setContentOffset(shown.table()->maximumContentOffset());
        shown.tap(39);
        QCOMPARE(shown.recorder.events, QStringList({"select 39 网络39"}));
    }
};

}  // namespace oa

OA_KIT_TEST(LeveyPopListViewTest)
#include "LeveyPopListViewTest.moc"
