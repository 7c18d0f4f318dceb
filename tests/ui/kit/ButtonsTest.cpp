// The tick button and the contact-add button: a tick the user flips (and code sets silently),
// pictures that show the state, the drawn "+" at its size.
#include <QImage>
#include <QSignalSpy>
#include <QtTest>

#include "KitTest.h"
#include "ui/kit/ContactAddButton.h"
#include "ui/kit/TickButton.h"

namespace oa {

namespace {

QImage picture(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// Whether anything but the widget's own background was drawn.
bool drewSomething(const QImage& image, QColor background) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != background) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

class ButtonsTest : public QObject {
    Q_OBJECT

private slots:
    void tickFlipsOnTheUsersTapsOnly() {
        QWidget row;
        auto* tick = new TickButton(&row);
        row.show();
        QSignalSpy toggled(tick, &TickButton::toggled);
        QVERIFY(!tick->isChecked());

        // A list restoring its ticks is not a choice.
        tick->setChecked(true);
        QVERIFY(tick->isChecked());
        QCOMPARE(toggled.count(), 0);

        QTest::mouseClick(tick, Qt::LeftButton);
        QVERIFY(!tick->isChecked());
        QTest::mouseClick(tick, Qt::LeftButton);
        QVERIFY(tick->isChecked());
        QCOMPARE(toggled.count(), 2);
        QCOMPARE(toggled.at(0).first().toBool(), false);
        QCOMPARE(toggled.at(1).first().toBool(), true);

        // A press that leaves the button, and other mouse buttons, flip nothing.
        QTest::mousePress(tick, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(tick, Qt::LeftButton, {}, QPoint(200, 5));
        QTest::mouseClick(tick, Qt::RightButton);
        QVERIFY(tick->isChecked());
        QCOMPARE(toggled.count(), 2);

        tick->setFocus();
        QTest::keyClick(tick, Qt::Key_Space);
        QVERIFY(!tick->isChecked());
        QCOMPARE(toggled.count(), 3);

        tick->setEnabled(false);
        QTest::mouseClick(tick, Qt::LeftButton);
        QVERIFY(!tick->isChecked());
        QCOMPARE(toggled.count(), 3);
    }

    void tickShowsItsState() {
        // With pictures that exist, and with missing ones (drawn instead).
        const QList<QPair<QString, QString>> pictures = {
            {"msg_type_S", "msg_type_T"}, {"no-such-uncheck.png", "no-such-checked.png"}};
        for (const auto& [off, on] : pictures) {
            QWidget row;
            auto* tick = new TickButton(off, on, &row);
            row.show();
            const QImage clear = picture(tick);
            tick->setChecked(true);
            const QImage ticked = picture(tick);
            QVERIFY2(clear != ticked, qPrintable(off));
            QVERIFY(drewSomething(clear, clear.pixelColor(0, 0)) ||
                    drewSomething(ticked, ticked.pixelColor(0, 0)));
        }
    }

    void contactAddButtonIsADrawnPlus() {
        QWidget row;
        row.setStyleSheet("background: #ff00ff");
        auto* add = new ContactAddButton(&row);
        add->move(10, 10);
        row.show();
        QCOMPARE(add->size(), QSize(29, 29));
        QCOMPARE(add->sizeHint(), QSize(29, 29));
        QSignalSpy clicked(add, &QAbstractButton::clicked);
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);

        const QImage drawn = row.grab(add->geometry()).toImage();
        // The plus crosses the centre in the tint; the corners show what lies beneath.
        const QColor centre = drawn.pixelColor(14, 14);
        QVERIFY(centre.blue() > 200 && centre.red() < 60);
        QCOMPARE(drawn.pixelColor(0, 0), QColor("#ff00ff"));
        // The ring: left edge at mid-height is drawn, a point between ring and plus is white.
        QVERIFY(drawn.pixelColor(2, 14).blue() > 150);
        QCOMPARE(drawn.pixelColor(8, 8).red(), 255);
    }
};

}  // namespace oa

OA_KIT_TEST(ButtonsTest)
#include "ButtonsTest.moc"
