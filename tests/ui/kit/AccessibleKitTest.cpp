// What the kit's self-drawn controls tell a screen reader, and that its actions work them as the
// user's own taps do.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include "KitTest.h"
#include "ui/kit/AccessibleKit.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/JSBadgeView.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/SegmentedControl.h"
#include "ui/kit/Switch.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/kit/TickButton.h"
#include "ui/kit/ViewController.h"
#include "ui/kit/Window.h"

namespace oa {

namespace {

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

// The child of `iface` named `name`, or null.
QAccessibleInterface* childNamed(QAccessibleInterface* iface, const QString& name) {
    for (int i = 0; i < iface->childCount(); ++i) {
        if (QAccessibleInterface* child = iface->child(i);
            child && child->text(QAccessible::Name) == name) {
            return child;
        }
    }
    return nullptr;
}

void press(QAccessibleInterface* iface) {
    QAccessibleActionInterface* actions = iface->actionInterface();
    QVERIFY(actions && !actions->actionNames().isEmpty());
    actions->doAction(actions->actionNames().first());
}

}  // namespace

// Three rows "一", "二", "三".
class ThreeRows : public TableViewDataSource, public TableViewDelegate {
public:
    int numberOfRowsInSection(TableView*, int) override { return 3; }
    TableViewCell* cellForRowAtIndexPath(TableView*, const IndexPath& path) override {
        auto* cell = new TableViewCell;
        cell->textLabel()->setText(QStringList{"一", "二", "三"}.at(path.row));
        return cell;
    }
};

class AccessibleKitTest : public QObject {
    Q_OBJECT

private slots:
    // Before the first widget, as the window does: an interface Qt made already stays cached.
    void initTestCase() { installAccessibleKit(); }

    void togglesTellTheirStateAndToggleAsTheUser() {
        Switch onOff;
        onOff.setAccessibleName(QStringLiteral("记住密码"));
        QSignalSpy switched(&onOff, &Switch::valueChanged);
        TickButton tick;
        QSignalSpy ticked(&tick, &TickButton::toggled);

        QAccessibleInterface* sw = accessible(&onOff);
        QCOMPARE(sw->role(), QAccessible::CheckBox);
        QCOMPARE(sw->text(QAccessible::Name), QString("记住密码"));
        QCOMPARE(sw->text(QAccessible::Value), QString("关"));
        press(sw);
        QCOMPARE(switched.count(), 1);
        QVERIFY(sw->state().checked);
        QCOMPARE(sw->text(QAccessible::Value), QString("开"));

        QAccessibleInterface* box = accessible(&tick);
        QCOMPARE(box->role(), QAccessible::CheckBox);
        QVERIFY(!box->text(QAccessible::Name).isEmpty());
        QVERIFY(!box->state().checked);
        press(box);
        QCOMPARE(ticked.count(), 1);
        QVERIFY(box->state().checked);
    }

    void drawnChoicesAreChildrenThatCanBePressed() {
        SegmentedControl control({"工作日志", "共享日志"});
        control.resize(120, 25);
        control.show();
        control.setSelectedSegmentIndex(0);
        QSignalSpy chosen(&control, &SegmentedControl::valueChanged);
        QAccessibleInterface* tabs = accessible(&control);
        QCOMPARE(tabs->role(), QAccessible::PageTabList);
        QAccessibleInterface* shared = childNamed(tabs, QStringLiteral("共享日志"));
        QVERIFY(shared);
        QCOMPARE(shared->role(), QAccessible::PageTab);
        QVERIFY(!shared->state().checked);
        QVERIFY(control.rect().translated(control.mapToGlobal(QPoint())).contains(shared->rect()));
        press(shared);
        QCOMPARE(control.selectedSegmentIndex(), 1);
        QCOMPARE(chosen.count(), 1);
        QVERIFY(shared->state().checked);

        QWidget host;
        host.resize(320, 480);
        host.show();
        auto* sheet = new ActionSheet(QStringLiteral("附件"), nullptr, QStringLiteral("取消"),
                                      QString(), {QStringLiteral("打开")});
        QSignalSpy clicked(sheet, &ActionSheet::clickedButtonAtIndex);
        sheet->showInView(&host);
        QAccessibleInterface* dialog = accessible(sheet);
        QCOMPARE(dialog->text(QAccessible::Name), QString("附件"));
        QAccessibleInterface* open = childNamed(dialog, QStringLiteral("打开"));
        QVERIFY(open && childNamed(dialog, QStringLiteral("取消")));
        QCOMPARE(open->role(), QAccessible::Button);
        press(open);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toInt(), sheet->firstOtherButtonIndex());
    }

    void aCompositeReadsItsTextsThenTheirDescriptions() {
        QWidget cell;
        setAccessibleRole(&cell, QAccessible::Button);
        auto* icon = new QWidget(&cell);
        auto* badge = new JSBadgeView(icon);
        badge->setBadgeText(QStringLiteral("4"));
        new QLabel(QStringLiteral("电子邮件"), &cell);
        auto* hidden = new QLabel(QStringLiteral("不显示"), &cell);
        hidden->hide();
        cell.show();
        QAccessibleInterface* iface = accessible(&cell);
        QCOMPARE(iface->role(), QAccessible::Button);
        QCOMPARE(iface->text(QAccessible::Name), QString("电子邮件，4 条未读"));
        badge->setHidden(true);
        QCOMPARE(iface->text(QAccessible::Name), QString("电子邮件"));

        // Pressed by a screen reader, it gets the tap it acts on.
        QSignalSpy tapped(&cell, &QObject::objectNameChanged);
        struct TapWatch : QObject {
            bool eventFilter(QObject* watched, QEvent* event) override {
                if (event->type() == QEvent::MouseButtonRelease) {
                    watched->setObjectName(QStringLiteral("tapped"));
                }
                return false;
            }
        } watch;
        cell.installEventFilter(&watch);
        press(iface);
        QCOMPARE(tapped.count(), 1);
    }

    // A screen reader speaks a notification when it shows: the sign-in's outcome is heard.
    void theProgressIndicatorIsANotificationOfItsText() {
        ProgressHUD::resetForTesting();
        Window window(QSize(320, 480));
        window.show();
        ProgressHUD::showWithStatus(QStringLiteral("正在登录中..."));
        QAccessibleInterface* hud = accessible(ProgressHUD::instance());
        QCOMPARE(hud->role(), QAccessible::Notification);
        QCOMPARE(hud->text(QAccessible::Name), QString("正在登录中..."));
        QVERIFY(hud->state().busy);
        ProgressHUD::dismissWithError(QStringLiteral("用户名或密码错误"));
        QCOMPARE(hud->text(QAccessible::Name), QString("用户名或密码错误"));
        QVERIFY(!hud->state().busy);
        ProgressHUD::resetForTesting();
    }

    void theRowChosenInAFocusedListIsWhereTheReaderIs() {
        ThreeRows rows;
        QWidget window;
        window.resize(320, 200);
        auto* table = new TableView(TableView::Style::Plain, &window);
        table->setGeometry(window.rect());
        table->setDataSource(&rows);
        table->setDelegate(&rows);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        table->setFocus();
        table->selectRowAtIndexPath({0, 1}, false);

        TableViewCell* second = table->cellForRowAtIndexPath({0, 1});
        QAccessibleInterface* row = accessible(second);
        QCOMPARE(row->role(), QAccessible::ListItem);
        QCOMPARE(row->text(QAccessible::Name), QString("二"));
        QVERIFY(row->state().selected && row->state().focused);
        QVERIFY(!accessible(table->cellForRowAtIndexPath({0, 0}))->state().focused);
    }
};

OA_KIT_TEST(AccessibleKitTest)

}  // namespace oa

#include "AccessibleKitTest.moc"
