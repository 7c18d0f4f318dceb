// Switches, text fields and bar buttons: what the forms rely on.
#include <QApplication>
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
