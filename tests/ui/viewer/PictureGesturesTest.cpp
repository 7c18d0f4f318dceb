// The viewer's picture: fitting into the free area, one-finger drags, two-finger pinches with
// their limits, and the desktop's mouse drag and wheel notches on the picture page.
#include <QLabel>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QtTest>

#include "ui/controller/main/AttachmentStage.h"
#include "ui/controller/main/PictureGestures.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

const QSizeF kArea(320, 416);

// Spreads (or closes) two fingers from `from` to `to` in steps of `step` points, as one pinch.
int pinch(PictureGestures& g, double from, double to, double step) {
    int changes = 0;
    g.twoFingersMoved(from);
    for (double d = from; step > 0 ? d < to : d > to;) {
        d += step;
        changes += g.twoFingersMoved(d) ? 1 : 0;
    }
    g.touchesEnded();
    return changes;
}

void sendMouse(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void sendWheel(QWidget* w, int delta) {
    const QPointF at(100, 100);
    QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

}  // namespace

class PictureGesturesTest : public QObject {
    Q_OBJECT

private slots:
    void fitsWithoutEnlargingAndCentres_data() {
        QTest::addColumn<QSizeF>("picture");
        QTest::addColumn<QRectF>("frame");
        QTest::newRow("small: own size") << QSizeF(200, 100) << QRectF(60, 158, 200, 100);
        QTest::newRow("wide: to the width") << QSizeF(640, 480) << QRectF(0, 88, 320, 240);
        QTest::newRow("tall: to the height") << QSizeF(300, 1200) << QRectF(108, 0, 104, 416);
        QTest::newRow("exactly the area") << QSizeF(320, 416) << QRectF(0, 0, 320, 416);
    }

    void fitsWithoutEnlargingAndCentres() {
        QFETCH(QSizeF, picture);
        QFETCH(QRectF, frame);
        QCOMPARE(PictureGestures::fittedFrame(picture, kArea), frame);
    }

    void noPictureIgnoresEveryGesture() {
        PictureGestures g;
        g.show(QSizeF(0, 0), kArea);
        QVERIFY(!g.hasPicture());
        g.touchBegan({10, 10});
        QVERIFY(!g.oneFingerMoved({50, 50}));
        QVERIFY(!g.twoFingersMoved(10));
        QVERIFY(!g.twoFingersMoved(100));
        QVERIFY(!g.pinchStep(true));
    }

    void dragMovesByTheStepAndIgnoresLessThanAPoint() {
        PictureGestures g;
        g.show({200, 100}, kArea);
        g.touchBegan({100, 100});
        QVERIFY(!g.oneFingerMoved({100.9, 100.5}));
        QCOMPARE(g.frame().topLeft(), QPointF(60, 158));
        // Below a point in both directions it stays; the start point stays too, so small steps
        // that add up to a point do move it.
        QVERIFY(g.oneFingerMoved({101, 100.5}));
        QCOMPARE(g.frame().topLeft(), QPointF(61, 158.5));
        QVERIFY(g.oneFingerMoved({80, 130.5}));
        QCOMPARE(g.frame(), QRectF(40, 188.5, 200, 100));
        QVERIFY(g.oneFingerMoved({80, 129.5}));
        QCOMPARE(g.frame().topLeft(), QPointF(40, 187.5));
    }

    void pinchStepsByTenKeepingShapeAndCentre() {
        PictureGestures g;
        g.show({200, 100}, kArea);
        const QPointF centre = g.frame().center();
        // The first distance only starts the pinch; a change of 2 points or less is no step.
        QVERIFY(!g.twoFingersMoved(100));
        QVERIFY(!g.twoFingersMoved(102));
        QVERIFY(!g.twoFingersMoved(98));
        QVERIFY(g.twoFingersMoved(102.5));
        QCOMPARE(g.frame().size(), QSizeF(210, 105));
        QCOMPARE(g.frame().center(), centre);
        QVERIFY(g.twoFingersMoved(110));
        QCOMPARE(g.frame().width(), 220.0);
        // Closing counts from the last distance stored.
        QVERIFY(g.twoFingersMoved(107));
        QCOMPARE(g.frame().size(), QSizeF(210, 105));
        QCOMPARE(g.frame().center(), centre);
    }

    void pinchStopsAtTheLimits() {
        PictureGestures g;
        g.show({300, 1200}, kArea);  // shown 104 x 416
        QCOMPARE(pinch(g, 10, 1000, 3), 90);
        QCOMPARE(g.frame().width(), 1000.0);
        QCOMPARE(g.frame().height(), 4000.0);
        QVERIFY(!g.pinchStep(true));
        QCOMPARE(pinch(g, 1000, 10, -3), 95);
        QCOMPARE(g.frame().width(), 50.0);
        QCOMPARE(g.frame().height(), 200.0);
        QVERIFY(!g.pinchStep(false));
    }

    void liftedFingersStartTheNextPinchAfresh() {
        PictureGestures g;
        g.show({200, 100}, kArea);
        g.twoFingersMoved(100);
        g.touchesEnded();
        QCOMPARE(g.lastDistance(), 0.0);
        // Fingers put down far apart again are a new start, not a spread.
        QVERIFY(!g.twoFingersMoved(300));
        QCOMPARE(g.frame().width(), 200.0);
    }

    void narrowingNeverWidensATinyPicture() {
        PictureGestures g;
        g.show({20, 10}, kArea);
        QVERIFY(!g.pinchStep(false));
        QCOMPARE(g.frame().size(), QSizeF(20, 10));
        QVERIFY(g.pinchStep(true));
        QCOMPARE(g.frame().size(), QSizeF(30, 15));
    }

    void desktopLeftDragAndWheelNotches() {
        AttachmentStage stage;
        stage.resize(320, 416);
        QImage picture(200, 100, QImage::Format_RGB32);
        picture.fill(Qt::red);
        stage.showPicture(picture);
        QLabel* image = stage.imageView();
        QVERIFY(image->isVisibleTo(&stage));
        QCOMPARE(image->geometry(), QRect(60, 158, 200, 100));

        sendMouse(&stage, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
        sendMouse(&stage, QEvent::MouseMove, {130, 90}, Qt::LeftButton);
        sendMouse(&stage, QEvent::MouseButtonRelease, {130, 90}, Qt::NoButton);
        QCOMPARE(image->geometry(), QRect(90, 148, 200, 100));
        // A move without the button held is no drag.
        sendMouse(&stage, QEvent::MouseMove, {10, 10}, Qt::NoButton);
        QCOMPARE(image->geometry().topLeft(), QPoint(90, 148));

        sendWheel(&stage, 120);
        QCOMPARE(image->geometry(), QRect(85, 146, 210, 105));  // y 145.5 rounded
        sendWheel(&stage, -240);
        QCOMPARE(image->size(), QSize(190, 95));
        // Half notches add up to one step.
        sendWheel(&stage, 60);
        QCOMPARE(image->width(), 190);
        sendWheel(&stage, 60);
        QCOMPARE(image->width(), 200);
    }
};

}  // namespace oa

OA_QT_TEST(PictureGesturesTest)
#include "PictureGesturesTest.moc"
