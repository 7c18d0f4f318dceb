// Keyboard moves of the sign-in form and the settings table: only editing the user starts moves
// them, and the field being edited stays in sight.
#include <QPropertyAnimation>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "ShellTest.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/main/OtherView.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/LeveyPopListView.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TextField.h"
#include "ui/kit/ViewTags.h"
#include "ui/session/LoginController.h"
#include "ui/session/LoginView.h"
#include "ui/session/SetController.h"

namespace oa {

namespace {

constexpr int kReplyMs = 15000;

// A tap on whatever the window shows at `point` (window coordinates), as a finger would.
void tapWindow(QWidget* window, QPoint point) {
    QWidget* target = window->childAt(point);
    if (!target) {
        target = window;
    }
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(window, point));
}

QPoint centreInWindow(const QWidget* widget) {
    return widget->mapTo(widget->window(), widget->rect().center());
}

bool moving(const QObject* view) {
    return !view->findChildren<QPropertyAnimation*>().isEmpty();
}

}  // namespace

class KeyboardMovesTest : public QObject {
    Q_OBJECT

private slots:
    // The chooser and sign-out hand the keyboard focus back to the window, which gives it to the
    // first field; the form must stay where the user saw it, the name unselected, and "确  认"
    // where it was.
    void focusHandedBackLeavesTheFormInPlace_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("environment picked") << "pick";
        QTest::newRow("chooser cancelled") << "cancel";
        QTest::newRow("signed out") << "sign-out";
    }

    void focusHandedBackLeavesTheFormInPlace() {
        QFETCH(QString, how);
        shell::Environment env;
        shell::Environment::storeDemoSettings();
        shell::Screen screen;
        QVERIFY(QTest::qWaitForWindowActive(screen.window()));
        LoginView* form = screen.login()->loginView();
        TextField* name = form->field(LoginView::kNameTag);
        name->setText("wangjianguo");
        form->field(LoginView::kPasswordTag)->setText("123456");
        const QPoint confirm = centreInWindow(form->confirmButton());
        QSignalSpy finished(screen.login(), &LoginController::loginFinished);

        if (how == "sign-out") {
            form->field(LoginView::kAddressTag)
                ->setText(QString::fromStdString(shell::demoServerAddress()));
            tapWindow(screen.window(), confirm);
            QTRY_VERIFY_WITH_TIMEOUT(screen.topAs<IndexController>(), kReplyMs);
            auto* index = screen.topAs<IndexController>();
            index->changeView("affairs");
            QTest::mouseClick(index->other_view()->signOutButton(), Qt::LeftButton);
            QCOMPARE(screen.top(), screen.login());
        } else {
            QTest::mouseClick(form->chooserButton(), Qt::LeftButton);
            LeveyPopListView* list = form->choiceView();
            QVERIFY(list);
            QTRY_VERIFY(!moving(list));
            if (how == "pick") {
                tapWindow(screen.window(),
                          list->mapTo(screen.window(), list->optionRect(0).center()));
                QCOMPARE(form->field(LoginView::kEnvironmentNameTag)->text(), QString("演示"));
            } else {
                form->field(LoginView::kAddressTag)
                    ->setText(QString::fromStdString(shell::demoServerAddress()));
                tapWindow(screen.window(), QPoint(4, 4));
            }
            QTRY_VERIFY(!form->choiceView());
        }

        QCOMPARE(form->contentOffset(), 0);
        // The window handed the focus to the first field, which begins nothing.
        QCOMPARE(QApplication::focusWidget(), name);
        QVERIFY(!name->isEditing());
        QVERIFY(!name->hasSelectedText());
        QTRY_VERIFY(!moving(form));
        QCOMPARE(centreInWindow(form->confirmButton()), confirm);

        const qsizetype attempts = finished.count();
        tapWindow(screen.window(), confirm);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), attempts + 1, kReplyMs);
        QCOMPARE(finished.last().at(0).toString(), QString());
        QVERIFY(screen.topAs<IndexController>());
    }

    // What the user starts still moves the form: a tap on a field, or typing into the field the
    // window handed the focus to (which adds to the name rather than replacing it).
    void editingTheUserStartsMovesTheForm() {
        shell::Environment env;
        shell::Environment::storeDemoSettings();
        shell::Screen screen;
        QVERIFY(QTest::qWaitForWindowActive(screen.window()));
        LoginView* form = screen.login()->loginView();
        TextField* name = form->field(LoginView::kNameTag);
        TextField* password = form->field(LoginView::kPasswordTag);
        name->setText("wang");

        QTest::mouseClick(password, Qt::LeftButton);
        QCOMPARE(form->contentOffset(), -LoginView::kKeyboardShift);
        QTest::keyClick(password, Qt::Key_Return);
        QCOMPARE(form->contentOffset(), 0);

        QTest::mouseClick(form->chooserButton(), Qt::LeftButton);
        form->choiceView()->cancel();
        QTRY_VERIFY(!form->choiceView());
        QCOMPARE(form->contentOffset(), 0);
        QCOMPARE(QApplication::focusWidget(), name);
        QTest::keyClick(name, Qt::Key_X);
        QCOMPARE(form->contentOffset(), -LoginView::kKeyboardShift);
        QCOMPARE(name->text(), QString("wangx"));
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(form->contentOffset(), 0);

        QTest::mouseClick(name, Qt::LeftButton);
        QCOMPARE(form->contentOffset(), -LoginView::kKeyboardShift);
        // Tab to the next field keeps the form up.
        QTest::keyClick(name, Qt::Key_Tab);
        QVERIFY(password->hasFocus());
        QCOMPARE(form->contentOffset(), -LoginView::kKeyboardShift);
    }

    // The settings table moves up for the lowest fields only: Tab from the IM port on to the
    // environments brings it down again, so the field being edited is always in sight.
    void settingsFieldBeingEditedIsInSight() {
        shell::Environment env;
        shell::Environment::storeDemoSettings();
        shell::Screen screen;
        QVERIFY(QTest::qWaitForWindowActive(screen.window()));
        screen.login()->loginView()->pushSet();
        auto* set = screen.topAs<SetController>();
        QVERIFY(set);
        QWidget* view = set->view();
        // The sign-in form went away with the focus; the field it lands on begins nothing.
        const auto* right = qobject_cast<const BarButton*>(set->rightBarButtonItem());
        QVERIFY(right);
        QCOMPARE(right->text(), QString("保存"));
        QCOMPARE(set->contentOffset(), 0);
        for (int tagValue = SetController::kImPortTag; tagValue <= SetController::kIp3Tag;
             ++tagValue) {
            QVERIFY(!set->field(tagValue)->isEditing());
        }
        auto inSight = [view](QWidget* field) {
            return view->rect().contains(QRect(field->mapTo(view, QPoint()), field->size()));
        };

        TextField* port = set->field(SetController::kImPortTag);
        QTest::mouseClick(port, Qt::LeftButton);
        QCOMPARE(set->contentOffset(), -SetController::kKeyboardShift);
        QTRY_VERIFY(!moving(set));
        QVERIFY(inSight(port));

        QStringList visited;
        int keys = 0;
        for (int step = 0; step < 7; ++step) {
            // Tab until the next field has the focus.
            TextField* field = nullptr;
            for (int tries = 0; !field && tries < 4; ++tries) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                ++keys;
                field = qobject_cast<TextField*>(QApplication::focusWidget());
            }
            QVERIFY(field);
            QVERIFY(field->isEditing());
            QTRY_VERIFY(!moving(set));
            visited << QString::number(tag(field));
            QVERIFY2(inSight(field), qPrintable(visited.join(' ')));
        }
        // One Tab a field, "网络 1" right after the IM port, then the rows in order; from the last
        // row back to the port by way of the bar's two buttons.
        QCOMPARE(visited.join(' '), QString("1017 1018 1019 1020 1021 1022 1016"));
        QCOMPARE(keys, 9);
    }
};

}  // namespace oa

OA_SHELL_TEST(KeyboardMovesTest)
#include "KeyboardMovesTest.moc"
