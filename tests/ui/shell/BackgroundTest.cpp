// Screens with a grouped table that does not fill them: one background behind the whole screen,
// with no band of another colour below the table (the settings table moved up for its lowest
// field, the "more" page under its table and around "注      销").
#include <QPropertyAnimation>
#include <QPushButton>
#include <QtTest>

#include "ShellTest.h"
#include "ui/controller/main/BottomView.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/main/OtherView.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TextField.h"
#include "ui/kit/Window.h"
#include "ui/session/LoginController.h"
#include "ui/session/LoginView.h"
#include "ui/session/SetController.h"

namespace oa {

namespace {

// Where the colour of column `x` of `screen`, as the window shows it, first differs from its top
// pixel; -1 when the whole column is one colour. The column is left of the grouped cells and of
// the buttons, where only the background shows.
int firstChangeInColumn(const QWidget* screen, int x) {
    const QWidget* window = screen->window();
    const QImage shown = const_cast<QWidget*>(window)
                             ->grab(QRect(screen->mapTo(window, QPoint()), screen->size()))
                             .toImage();
    const QColor top = shown.pixelColor(x, 0);
    for (int y = 1; y < shown.height(); ++y) {
        if (shown.pixelColor(x, y) != top) {
            return y;
        }
    }
    return -1;
}

}  // namespace

class BackgroundTest : public QObject {
    Q_OBJECT

private slots:
    void settingsTableMovedUpLeavesNoBand_data() {
        QTest::addColumn<int>("x");
        // Both colours of the pinstripes.
        QTest::newRow("dark stripe") << 1;
        QTest::newRow("light stripe") << 5;
    }

    void settingsTableMovedUpLeavesNoBand() {
        QFETCH(int, x);
        shell::Environment env;
        shell::Screen screen;
        screen.login()->loginView()->pushSet();
        auto* set = screen.topAs<SetController>();
        QVERIFY(set);
        QCOMPARE(firstChangeInColumn(set->view(), x), -1);

        set->textFieldDidBeginEditing(set->field(SetController::kIp3Tag));
        QTRY_COMPARE(set->tableView()->y(), -SetController::kKeyboardShift);
        QTRY_VERIFY(set->findChildren<QPropertyAnimation*>().isEmpty());
        QCOMPARE(firstChangeInColumn(set->view(), x), -1);
    }

    void morePageBackgroundReachesTheTabBar_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("320 x 480") << QSize(320, 480);
        QTest::newRow("320 x 568") << QSize(320, 568);
    }

    void morePageBackgroundReachesTheTabBar() {
        QFETCH(QSize, size);
        shell::Environment env;
        shell::Screen screen(size);
        auto* index = new IndexController;
        index->setFunc_array({"email"});
        screen.nav()->pushViewController(index, false);
        index->changeView("affairs");
        OtherView* more = index->other_view();
        QVERIFY(more->isVisible());
        // The page reaches the tab bar and the sign-out button lies on it.
        QCOMPARE(more->mapTo(screen.window(), QPoint(0, more->height())),
                 index->bottom_view()->mapTo(screen.window(), QPoint()));
        const QRect button(more->signOutButton()->mapTo(more, QPoint()),
                           more->signOutButton()->size());
        QVERIFY(more->rect().contains(button));
        QCOMPARE(firstChangeInColumn(more, 1), -1);
        QCOMPARE(firstChangeInColumn(more, 5), -1);
    }
};

}  // namespace oa

OA_SHELL_TEST(BackgroundTest)
#include "BackgroundTest.moc"
