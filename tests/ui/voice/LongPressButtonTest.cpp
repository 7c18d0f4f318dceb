// The hold-to-talk button and the voice animations on a virtual clock: the long press comes
// 0.3 s into a press that lasts, every release fires, targets replace one another; the
// animations go round their three pictures once a second.
#include <QtTest>
#include <memory>

#include "core/platform/ManualLoop.h"
#include "ui/kit/CustomAnimating.h"
#include "ui/kit/LongPressButton.h"
#include "ui/support/QtTestRegistry.h"

using namespace std::chrono_literals;

namespace oa {

class LongPressButtonTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ManualLoop> loop_;
    std::unique_ptr<LongPressButton> button_;
    QStringList log_;

    void press() { QTest::mousePress(button_.get(), Qt::LeftButton, {}, QPoint(10, 10)); }
    void release(QPoint at = QPoint(10, 10)) {
        QTest::mouseRelease(button_.get(), Qt::LeftButton, {}, at);
    }

private slots:
    void init() {
        loop_ = std::make_unique<ManualLoop>();
        MainLoop::setMain(loop_.get());
        button_ = std::make_unique<LongPressButton>("按住说话", "btn_recordButton");
        button_->resize(200, 34);
        log_.clear();
        button_->addTarget(
            this, [this] { log_ << "long"; }, 0);
        button_->addTarget(
            this, [this] { log_ << "release"; }, LongPressButton::kReleaseEvent);
    }

    void cleanup() {
        button_.reset();
        MainLoop::setMain(nullptr);
        loop_.reset();
    }

    void longPressComesAfterTheDelayOnce() {
        press();
        loop_->advance(299ms);
        QCOMPARE(log_, QStringList());
        QVERIFY(button_->isHeld());
        loop_->advance(1ms);
        QCOMPARE(log_, QStringList({"long"}));
        QVERIFY(button_->isLongPressed());
        loop_->advance(2s);
        QCOMPARE(log_, QStringList({"long"}));
        release();
        QCOMPARE(log_, QStringList({"long", "release"}));
        QVERIFY(!button_->isHeld());
    }

    void releaseFiresWhereverTheMouseIs_data() {
        QTest::addColumn<QPoint>("at");
        QTest::newRow("inside") << QPoint(100, 17);
        QTest::newRow("outside") << QPoint(100, -300);
    }

    void releaseFiresWhereverTheMouseIs() {
        QFETCH(QPoint, at);
        press();
        loop_->advance(1500ms);
        release(at);
        QCOMPARE(log_, QStringList({"long", "release"}));
    }

    // A tap releases before the delay: the release fires, the long press never does, not
    // even when the time it would have come passes afterwards.
    void aTapIsOnlyARelease() {
        press();
        loop_->advance(200ms);
        release();
        loop_->advance(1s);
        QCOMPARE(log_, QStringList({"release"}));
        QCOMPARE(loop_->activeTimers(), 0);
    }

    void laterTargetsReplaceEarlierOnes() {
        QObject other;
        button_->addTarget(
            &other, [this] { log_ << "long 2"; }, 7);
        button_->addTarget(
            &other, [this] { log_ << "release 2"; }, LongPressButton::kReleaseEvent);
        press();
        loop_->advance(300ms);
        release();
        QCOMPARE(log_, QStringList({"long 2", "release 2"}));
    }

    void aDestroyedTargetIsNotCalled() {
        auto target = std::make_unique<QObject>();
        button_->addTarget(
            target.get(), [this] { log_ << "gone"; }, LongPressButton::kReleaseEvent);
        target.reset();
        press();
        release();
        QCOMPARE(log_, QStringList());
    }

    void aButtonDestroyedWhileHeldFiresNothingLater() {
        press();
        button_.reset();
        loop_->advance(1s);
        QCOMPARE(log_, QStringList());
    }

    void flashEndsByItself() {
        button_->flash();
        QVERIFY(button_->isFlashing());
        loop_->advance(1s);
        QVERIFY(!button_->isFlashing());
    }

    void animationsGoRoundTheirPictures_data() {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QStringList>("frames");
        QTest::newRow("recording")
            << 0 << QStringList({"recording_1", "recording_2", "recording_3"});
        QTest::newRow("mine playing")
            << 1 << QStringList({"voiceplay_b1", "voiceplay_b2", "voiceplay_b3"});
        QTest::newRow("partner's playing")
            << 2 << QStringList({"voiceplay_a1", "voiceplay_a2", "voiceplay_a3"});
    }

    void animationsGoRoundTheirPictures() {
        QFETCH(int, tag);
        QFETCH(QStringList, frames);
        CustomAnimating animating(tag);
        QCOMPARE(animating.currentFrameName(), frames[2]);
        QVERIFY(!animating.pixmap().isNull());
        animating.startAnimating();
        QStringList seen{animating.currentFrameName()};
        for (int i = 0; i < 6; ++i) {
            loop_->advance(CustomAnimating::kRound / 3);
            seen << animating.currentFrameName();
            QVERIFY(!animating.pixmap().isNull());
        }
        QCOMPARE(seen, frames + frames + QStringList{frames[0]});
        QVERIFY(animating.isAnimating());
        animating.stopAnimating();
        loop_->advance(2s);
        QCOMPARE(animating.currentFrameName(), frames[2]);
        QVERIFY(!animating.isAnimating());
    }

    void recordAnimationSitsAboveTheBottomOfTheView() {
        QWidget view;
        view.resize(320, 436);
        CustomAnimating* animating = CustomAnimating::showRecordAnimatingAtView(&view);
        QCOMPARE(animating->parentWidget(), &view);
        QCOMPARE(animating->y(), 436 - 240);
        QCOMPARE(animating->x() + animating->width() / 2, 160);
        QVERIFY(animating->isAnimating());
        QCOMPARE(animating->animationTag(), 0);
    }
};

}  // namespace oa

OA_QT_TEST(LongPressButtonTest)
#include "LongPressButtonTest.moc"
