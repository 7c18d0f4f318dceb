// The window's size: the start from the screen's density, the steps of the zoom keys, and the
// choice kept across starts and across saving the network environments.
#include <QtTest>

#include "core/session/PlistManager.h"
#include "core/session/SetBO.h"
#include "ui/kit/Images.h"
#include "ui/kit/ViewController.h"
#include "ui/kit/Window.h"
#include "ui/kit/Zoom.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

class ZoomTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Zoom::zoomTo(1, nullptr); }

    void startsFromTheScreensDensity_data() {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<double>("platformRatio");
        QTest::addColumn<double>("scale");
        QTest::newRow("desktop monitor") << 96.0 << 1.0 << 1.0;
        QTest::newRow("laptop 14 inch full HD") << 157.0 << 1.0 << 1.5;
        QTest::newRow("between steps") << 110.0 << 1.0 << 1.25;
        QTest::newRow("high density") << 192.0 << 1.0 << 2.0;
        QTest::newRow("high density, platform doubles") << 192.0 << 2.0 << 1.0;
        QTest::newRow("4K 15 inch") << 282.0 << 1.0 << 3.0;
        QTest::newRow("beyond the last step") << 600.0 << 1.0 << 3.0;
        QTest::newRow("low density") << 60.0 << 1.0 << 1.0;
        QTest::newRow("no size reported") << 0.0 << 1.0 << 1.0;
        QTest::newRow("made-up size") << 5000.0 << 1.0 << 1.0;
        QTest::newRow("not a number") << qQNaN() << 1.0 << 1.0;
    }
    void startsFromTheScreensDensity() {
        QFETCH(double, dpi);
        QFETCH(double, platformRatio);
        QFETCH(double, scale);
        QCOMPARE(Zoom::initialScale(dpi, platformRatio), scale);
    }

    void keysStepThroughTheScalesAndAreRemembered() {
        Window window(QSize(320, 480));
        Zoom::installShortcuts(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QList<std::pair<QKeyCombination, double>> presses{
            {Qt::CTRL | Qt::Key_Equal, 1.25}, {Qt::CTRL | Qt::Key_Plus, 1.5},
            {Qt::CTRL | Qt::Key_Equal, 2},    {Qt::CTRL | Qt::Key_Equal, 2.5},
            {Qt::CTRL | Qt::Key_Equal, 3},    {Qt::CTRL | Qt::Key_Equal, 3},
            {Qt::CTRL | Qt::Key_Minus, 2.5},  {Qt::CTRL | Qt::Key_Minus, 2},
        };
        for (const auto& [keys, scale] : presses) {
            // Shown anew at each step, and active again.
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QTest::keyClick(&window, keys.key(), keys.keyboardModifiers());
            QCOMPARE(Zoom::current(), scale);
            QCOMPARE(Zoom::storedChoice(), std::optional<double>(scale));
        }
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.devicePixelRatioF(), 2.0);
        QCOMPARE(window.grab().size(), QSize(640, 960));

        // Saving the network environments keeps the choice.
        SetBO().saveSet({{"name1", "网络1"}, {"ip1", "10.0.0.1"}});
        QCOMPARE(Zoom::storedChoice(), std::optional<double>(2));

        // Ctrl+0 forgets it for the screen's own scale.
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(Zoom::storedChoice(), std::nullopt);
        QCOMPARE(Zoom::current(), 1.0);  // the headless screen is of ordinary density
    }

    void nextStartTakesUpTheChoice() {
        QVERIFY(Zoom::storeChoice(2.5));
        Zoom::applyAtStart(std::nullopt);
        QCOMPARE(Zoom::current(), 2.5);
        Zoom::applyAtStart(1.5);  // --scale
        QCOMPARE(Zoom::current(), 1.5);
    }

    // A screen built before the change keeps its pictures; they are drawn anew all the same.
    void picturesHeldByScreensAreDrawnAnew() {
        const QPixmap held = image(QStringLiteral("topbackground.png"));
        const QSizeF points = held.deviceIndependentSize();
        Zoom::zoomTo(2, nullptr);
        QCOMPARE(held.devicePixelRatio(), 2.0);
        QCOMPARE(held.deviceIndependentSize(), points);
        QCOMPARE(held.size(), (points * 2).toSize());
    }

    void aStoredChoiceThatIsNoStepIsIgnored() {
        for (const char* text : {"1.7", "x", "", "2abc", "-1"}) {
            QVERIFY(PlistManager().updateSetInfo({{Zoom::kSettingKey, text}}));
            QCOMPARE(Zoom::storedChoice(), std::nullopt);
        }
    }
};

}  // namespace oa

OA_QT_TEST(ZoomTest)
#include "ZoomTest.moc"
