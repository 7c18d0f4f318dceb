// The segmented control: only the user's choices are reported, presses that slide away choose
// nothing, and segments can be emptied and refilled (a screen that leaves takes its segments).
#include <QSignalSpy>
#include <QtTest>

#include "KitTest.h"
#include "ui/kit/SegmentedControl.h"

namespace oa {

class SegmentedControlTest : public QObject {
    Q_OBJECT

private slots:
    void userChoicesAreReported() {
        SegmentedControl control({"工作日志", "共享日志"});
        control.resize(120, 25);
        control.show();
        QSignalSpy changes(&control, &SegmentedControl::valueChanged);
        QCOMPARE(control.selectedSegmentIndex(), -1);

        // Set by the screen: no report.
        control.setSelectedSegmentIndex(0);
        QCOMPARE(changes.count(), 0);

        QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(90, 12));
        QCOMPARE(control.selectedSegmentIndex(), 1);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).toInt(), 1);
        // The segment already chosen: nothing new.
        QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(100, 12));
        QCOMPARE(changes.count(), 1);

        // Pressed on one segment, released on the other: nothing.
        QTest::mousePress(&control, Qt::LeftButton, {}, QPoint(20, 12));
        QTest::mouseMove(&control, QPoint(90, 12));
        QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(90, 12));
        QCOMPARE(control.selectedSegmentIndex(), 1);
        QCOMPARE(changes.count(), 1);

        QTest::keyClick(&control, Qt::Key_Left);
        QCOMPARE(control.selectedSegmentIndex(), 0);
        QTest::keyClick(&control, Qt::Key_Left);  // already the first
        QCOMPARE(changes.count(), 2);
        QCOMPARE(changes.at(1).at(0).toInt(), 0);

        control.setSelectedSegmentIndex(5);
        QCOMPARE(control.selectedSegmentIndex(), -1);
    }

    void emptiedAndRefilled() {
        SegmentedControl control({"工作日志", "共享日志"});
        control.resize(120, 25);
        control.show();
        control.setSelectedSegmentIndex(1);
        QSignalSpy changes(&control, &SegmentedControl::valueChanged);

        control.removeAllSegments();
        QCOMPARE(control.numberOfSegments(), 0);
        QCOMPARE(control.selectedSegmentIndex(), -1);
        // Clicks and keys on an empty control do nothing (and do not crash).
        QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(60, 12));
        QTest::keyClick(&control, Qt::Key_Right);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(control.grab().size(), QSize(120, 25));

        control.insertSegmentWithTitle("共享日志", 0);
        control.insertSegmentWithTitle("工作日志", 0);
        control.insertSegmentWithTitle("末", 99);
        QCOMPARE(control.numberOfSegments(), 3);
        QCOMPARE(control.titleForSegmentAtIndex(0), QString("工作日志"));
        QCOMPARE(control.titleForSegmentAtIndex(1), QString("共享日志"));
        QCOMPARE(control.titleForSegmentAtIndex(2), QString("末"));
        QCOMPARE(control.titleForSegmentAtIndex(3), QString());
        // A segment put in before the selected one leaves the selection on its segment.
        control.setSelectedSegmentIndex(1);
        control.insertSegmentWithTitle("新", 0);
        QCOMPARE(control.selectedSegmentIndex(), 2);
        QCOMPARE(control.titleForSegmentAtIndex(2), QString("共享日志"));
    }

    void drawsTheSelectionInTheTint() {
        SegmentedControl control({"工作日志", "共享日志"});
        control.resize(120, 25);
        control.setTintColor(QColor(70, 130, 180));
        control.setSelectedSegmentIndex(0);
        const QImage first = control.grab().toImage();
        control.setSelectedSegmentIndex(1);
        const QImage second = control.grab().toImage();
        // The pressed-in segment is the darker one, on the side chosen.
        const auto lightness = [](const QImage& img, int x) {
            return img.pixelColor(x, 4).lightness();
        };
        QVERIFY(lightness(first, 10) < lightness(first, 110));
        QVERIFY(lightness(second, 110) < lightness(second, 10));
        QVERIFY(first.pixelColor(10, 4).blue() > first.pixelColor(10, 4).red());
    }
};

}  // namespace oa

OA_KIT_TEST(SegmentedControlTest)
#include "SegmentedControlTest.moc"
