// Sideways scrolling of a scroll view: a strip of name buttons wider than its view moves under a
// drag (also one that starts on a button, which is then not clicked), the wheel and the keys,
// stays within its ends, and taps on the buttons still click them. Views without a content width
// never move sideways.
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "KitTest.h"
#include "ui/kit/ScrollView.h"

namespace oa {

namespace {

// The e-mail editor's strip: names 60 points apart, 50 wide, in a view 200 wide.
struct Strip {
    QWidget window;
    ScrollView* strip;
    QList<QPushButton*> names;
    QStringList clicked;

    explicit Strip(int people) {
        window.resize(320, 100);
        strip = new ScrollView(&window);
        strip->setGeometry(60, 20, 200, 30);
        strip->setContentWidth(60 * people);
        for (int i = 0; i < people; ++i) {
            auto* name = new QPushButton(QStringLiteral("人员%1").arg(i));
            strip->addContentSubview(name, QRectF(60 * i, 3, 50, 23));
            QObject::connect(name, &QPushButton::clicked,
                             [this, i] { clicked.append(QString::number(i)); });
            names.append(name);
        }
        window.show();
    }
};

// Presses on `widget` at `from`, moves in steps by `delta` and releases, as one finger would:
// the finger's path is fixed on the window even when the widget moves under it, and the pressed
// widget receives the moves.
void drag(QWidget* widget, QPoint from, QPoint delta) {
    QWidget* window = widget->window();
    const QPoint start = widget->mapTo(window, from);
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    constexpr int kSteps = 6;
    for (int i = 1; i <= kSteps; ++i) {
        QTest::mouseMove(widget, widget->mapFrom(window, start + delta * i / kSteps));
    }
    QTest::mouseRelease(widget, Qt::LeftButton, {}, widget->mapFrom(window, start + delta));
}

void wheel(QWidget* widget, QPoint angle) {
    QWheelEvent event(QPointF(10, 10), widget->mapToGlobal(QPointF(10, 10)), QPoint(), angle,
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

}  // namespace

class SidewaysScrollTest : public QObject {
    Q_OBJECT

private slots:
    void aDragOnANameMovesTheStripAndClicksNothing() {
        Strip s(8);
        QCOMPARE(s.strip->contentSize(), QSizeF(480, 0));
        QCOMPARE(s.strip->maximumContentOffsetX(), 280.0);
        QSignalSpy scrolled(s.strip, &ScrollView::didScroll);

        drag(s.names[2], QPoint(25, 10), QPoint(-100, 0));
        QCOMPARE(s.strip->contentOffsetX(), 100.0);
        QVERIFY(scrolled.count() > 0);
        QCOMPARE(s.names[2]->x(), 120 - 100);
        QVERIFY(s.clicked.isEmpty());
        QVERIFY(!s.names[2]->isDown());
        QVERIFY(!s.strip->isDraggingSideways());

        // A tap still clicks the name under it, where it now is.
        QTest::mouseClick(s.names[3], Qt::LeftButton);
        QCOMPARE(s.clicked, QStringList({"3"}));

        // Never past either end.
        drag(s.names[4], QPoint(25, 10), QPoint(-150, 0));
        drag(s.names[6], QPoint(25, 10), QPoint(-150, 0));
        QCOMPARE(s.strip->contentOffsetX(), 280.0);
        QCOMPARE(s.names[7]->geometry().right(), 420 - 280 + 49);
        drag(s.names[5], QPoint(25, 10), QPoint(190, 0));
        drag(s.names[3], QPoint(25, 10), QPoint(190, 0));
        QCOMPARE(s.strip->contentOffsetX(), 0.0);
        QCOMPARE(s.names[0]->x(), 0);
        QVERIFY(s.clicked.size() == 1);
    }

    void aDragOnTheGapsMovesItAndASmallOrDownwardMoveDoesNot() {
        Strip s(8);
        // Between two names (x 50..60 of the content) the strip itself is pressed.
        drag(s.strip, QPoint(55, 5), QPoint(-60, 0));
        QCOMPARE(s.strip->contentOffsetX(), 60.0);
        // A press that moves mostly down is no sideways drag; a jitter is a tap.
        drag(s.names[3], QPoint(25, 5), QPoint(-8, 20));
        QCOMPARE(s.strip->contentOffsetX(), 60.0);
        QTest::mousePress(s.names[3], Qt::LeftButton, {}, QPoint(25, 10));
        QTest::mouseMove(s.names[3], QPoint(22, 10));
        QTest::mouseRelease(s.names[3], Qt::LeftButton, {}, QPoint(22, 10));
        QCOMPARE(s.strip->contentOffsetX(), 60.0);
        QCOMPARE(s.clicked, QStringList({"3"}));
    }

    void wheelAndKeysMoveItWithinItsEnds() {
        Strip s(8);
        wheel(s.strip, QPoint(-120, 0));  // sideways wheel, one notch to the right
        const qreal step = s.strip->contentOffsetX();
        QVERIFY(step > 0);
        // A plain wheel over a strip that cannot scroll down moves it sideways too.
        wheel(s.strip, QPoint(0, -120));
        QCOMPARE(s.strip->contentOffsetX(), 2 * step);
        for (int i = 0; i < 20; ++i) {
            wheel(s.strip, QPoint(0, -120));
        }
        QCOMPARE(s.strip->contentOffsetX(), 280.0);
        s.strip->setFocus();
        QTest::keyClick(s.strip, Qt::Key_Left);
        QVERIFY(s.strip->contentOffsetX() < 280.0);
        QTest::keyClick(s.strip, Qt::Key_Home);  // vertical: leaves the sideways offset
        QVERIFY(s.strip->contentOffsetX() < 280.0);
        for (int i = 0; i < 20; ++i) {
            QTest::keyClick(s.strip, Qt::Key_Left);
        }
        QCOMPARE(s.strip->contentOffsetX(), 0.0);
        QCOMPARE(s.strip->contentOffset(), 0.0);
    }

    void fewerNamesOrAWiderViewBringTheOffsetBack() {
        Strip s(8);
        s.strip->setContentOffsetX(1000);
        QCOMPARE(s.strip->contentOffsetX(), 280.0);
        // A new choice of two people: the strip is no wider than its view.
        s.strip->setContentWidth(120);
        QCOMPARE(s.strip->contentOffsetX(), 0.0);
        QCOMPARE(s.names[0]->x(), 0);
        drag(s.names[1], QPoint(25, 10), QPoint(-100, 0));
        QCOMPARE(s.strip->contentOffsetX(), 0.0);

        s.strip->setContentWidth(480);
        s.strip->setContentOffsetX(280);
        s.strip->resize(300, 30);
        QCOMPARE(s.strip->contentOffsetX(), 180.0);
        QCOMPARE(s.names[7]->geometry().right(), 420 - 180 + 49);
    }

    void withoutAContentWidthNothingMovesSideways() {
        QWidget window;
        window.resize(320, 480);
        auto* list = new ScrollView(&window);
        list->setGeometry(window.rect());
        list->setContentSize(QSizeF(0, 2000));
        QCOMPARE(list->contentSize(), QSizeF(320, 2000));
        window.show();
        drag(list, QPoint(200, 200), QPoint(-150, -10));
        QCOMPARE(list->contentOffsetX(), 0.0);
        // ...and a vertical drag scrolls as it always did.
        drag(list, QPoint(100, 300), QPoint(0, -100));
        QVERIFY(list->contentOffset() > 50);
        QCOMPARE(list->contentOffsetX(), 0.0);

        // Content both taller and wider: a downward drag scrolls down only.
        list->setContentWidth(900);
        const qreal before = list->contentOffset();
        drag(list, QPoint(100, 300), QPoint(10, -100));
        QVERIFY(list->contentOffset() > before);
        QCOMPARE(list->contentOffsetX(), 0.0);
    }
};

}  // namespace oa

OA_KIT_TEST(SidewaysScrollTest)
#include "SidewaysScrollTest.moc"
