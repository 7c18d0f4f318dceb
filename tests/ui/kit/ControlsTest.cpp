// Switches, text fields and bar buttons: what the forms rely on.
#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "KitTest.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/Switch.h"
#include "ui/kit/TextField.h"

namespace oa {

class ControlsTest : public QObject {
    Q_OBJECT

private slots:
    void switchTellsUserChangesApart() {
        QWidget window;
        auto* on = new Switch(&window);
        window.show();
        QCOMPARE(on->size(), Switch::kSize);
        QSignalSpy toggled(on, &QAbstractButton::toggled);
        QSignalSpy byUser(on, &Switch::valueChanged);

        // Set from stored settings: no user change, the knob at once at the right.
        on->setOn(true, false);
        QVERIFY(on->isOn());
        QCOMPARE(on->knobPosition(), 1.0);
        QCOMPARE(toggled.count(), 1);
        QCOMPARE(byUser.count(), 0);
        on->setOn(true, true);  // no change, no signal
        QCOMPARE(toggled.count(), 1);

        // A click is the user's: it slides the knob over.
        QTest::mouseClick(on, Qt::LeftButton);
        QVERIFY(!on->isOn());
        QCOMPARE(byUser.count(), 1);
        QCOMPARE(byUser.last().first().toBool(), false);
        QVERIFY(on->knobPosition() > 0);
        QTRY_COMPARE_WITH_TIMEOUT(on->knobPosition(), 0.0, 5000);

        // Animated from code: slides too, still not the user's.
        on->setOn(true, true);
        QVERIFY(on->knobPosition() < 1);
        QTRY_COMPARE_WITH_TIMEOUT(on->knobPosition(), 1.0, 5000);
        QCOMPARE(byUser.count(), 1);

        on->setFocus();
        QTest::keyClick(on, Qt::Key_Space);
        QVERIFY(!on->isOn());
        QCOMPARE(byUser.count(), 2);
    }

    void textFieldEditingSignals() {
        QWidget window;
        auto* name = new TextField(&window);
        auto* password = new TextField(&window);
        password->setSecureTextEntry(true);
        password->setPlaceholderText("密码");
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY(password->isSecureTextEntry());
        QCOMPARE(password->echoMode(), QLineEdit::Password);

        QSignalSpy began(password, &TextField::didBeginEditing);
        QSignalSpy ended(password, &TextField::didEndEditing);
        QSignalSpy returned(password, &TextField::shouldReturn);
        password->setFocus();
        QCOMPARE(began.count(), 1);
        QVERIFY(password->isEditing());
        QTest::keyClicks(password, "secret");
        QTest::keyClick(password, Qt::Key_Return);
        QCOMPARE(returned.count(), 1);
        QVERIFY(password->isEditing());  // the return key alone does not end editing
        QCOMPARE(password->text(), QString("secret"));

        QVERIFY(TextField::endEditing(&window));
        QCOMPARE(ended.count(), 1);
        QVERIFY(!password->isEditing());
        QVERIFY(!TextField::endEditing(&window));  // nothing left to end
        Q_UNUSED(name);
    }

    // How the focus reaches a field decides whether editing begins: the user's tap, Tab or
    // typing does; the focus Qt hands on from a widget that was hidden or disabled does not.
    void textFieldEditingBeginsWithTheUser_data() {
        QTest::addColumn<QString>("arrival");
        QTest::addColumn<bool>("begins");
        QTest::newRow("tap") << "tap" << true;
        QTest::newRow("Tab key") << "tab" << true;
        QTest::newRow("focused widget hidden") << "hide" << false;
        QTest::newRow("focused widget disabled") << "disable" << false;
    }

    void textFieldEditingBeginsWithTheUser() {
        QFETCH(QString, arrival);
        QFETCH(bool, begins);
        QWidget window;
        auto* before = new QPushButton("before", &window);
        auto* field = new TextField(&window);
        field->setGeometry(0, 40, 200, 30);
        field->setText("wang");
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        before->setFocus();
        QSignalSpy began(field, &TextField::didBeginEditing);
        QSignalSpy ended(field, &TextField::didEndEditing);

        if (arrival == "tap") {
            QTest::mouseClick(field, Qt::LeftButton);
        } else if (arrival == "tab") {
            QTest::keyClick(before, Qt::Key_Tab);
        } else if (arrival == "hide") {
            before->hide();
        } else {
            before->setEnabled(false);
        }
        QVERIFY(field->hasFocus());
        QCOMPARE(began.count(), begins ? 1 : 0);
        QCOMPARE(field->isEditing(), begins);
        if (begins) {
            return;
        }
        // Nothing selected for the next key to replace; a modifier alone begins nothing, typing
        // begins editing.
        QVERIFY(!field->hasSelectedText());
        QTest::keyClick(field, Qt::Key_Shift);
        QCOMPARE(began.count(), 0);
        QTest::keyClick(field, Qt::Key_X);
        QCOMPARE(began.count(), 1);
        QVERIFY(field->isEditing());
        QCOMPARE(field->text(), QString("wangx"));
        field->clearFocus();
        QCOMPARE(ended.count(), 1);
    }

    // A field handed the focus ends nothing it never began; one deleted while it holds the focus
    // is not told about the focus it loses.
    void textFieldHandedTheFocusEndsNothing() {
        QWidget window;
        auto* before = new QPushButton("before", &window);
        auto* field = new TextField(&window);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        before->setFocus();
        QSignalSpy ended(field, &TextField::didEndEditing);
        before->hide();
        QVERIFY(field->hasFocus());
        field->clearFocus();
        QCOMPARE(ended.count(), 0);

        QTest::mouseClick(field, Qt::LeftButton);
        QVERIFY(field->isEditing());
        delete field;
        QVERIFY(!QApplication::focusWidget() || QApplication::focusWidget() == &window);
    }

    void barButtonsHaveTheScreensLook() {
        BarButton* back = BarButton::backButton();
        QCOMPARE(back->text(), QString("  返回"));
        QCOMPARE(back->imageName(), QString("btnback1.png"));
        QCOMPARE(back->size(), QSize(50, 25));
        QCOMPARE(back->font().pixelSize(), 13);
        BarButton* save = BarButton::rightButton("保存");
        QCOMPARE(save->imageName(), QString("btn_background1"));
        QCOMPARE(save->size(), QSize(50, 25));
        // Drawn from the image: not the flat fallback.
        const QImage drawn = back->grab().toImage();
        QVERIFY(drawn.pixelColor(45, 12).blue() > drawn.pixelColor(45, 12).red() + 40);
        delete back;
        delete save;
    }
};

}  // namespace oa

OA_KIT_TEST(ControlsTest)
#include "ControlsTest.moc"
