// Holding the record button on a virtual clock with the WAV-file recorder: what is reported
// after a tap, a hold released on or off the button, and the failures of a real device.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "core/platform/AppPaths.h"
#include "core/platform/ManualLoop.h"
#include "ui/controller/voice/VoiceRecording.h"
#include "ui/kit/CustomAnimating.h"
#include "ui/kit/LongPressButton.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/platform/AudioStack.h"
#include "ui/platform/WavFileAudioRecorder.h"
#include "ui/support/QtTestRegistry.h"
#include "ui/voice/VoiceSamples.h"

using namespace std::chrono_literals;

namespace oa {

class VoiceRecordingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ManualLoop> loop_;
    std::unique_ptr<QTemporaryDir> home_;
    AppPaths previousPaths_ = AppPaths::current();
    std::unique_ptr<QWidget> view_;
    LongPressButton* button_ = nullptr;
    std::unique_ptr<VoiceRecording> recording_;
    std::unique_ptr<QSignalSpy> finished_;
    std::unique_ptr<QSignalSpy> failed_;
    Pcm16 source_ = test::tone(2.0);
    WavFileAudioRecorder::Failure failure_ = WavFileAudioRecorder::Failure::None;
    int recordersMade_ = 0;

    QString temporary() const {
        return QString::fromStdString(AppPaths::current().temporary().string());
    }

    // Holds the button for `held` and releases it at `at` (in button coordinates), then lets
    // the conversion finish.
    void hold(std::chrono::milliseconds held, QPoint at = QPoint(20, 10)) {
        QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(20, 10));
        loop_->advance(held);
        QTest::mouseRelease(button_, Qt::LeftButton, {}, at);
        settle();
    }

    void settle() {
        QVERIFY(loop_->runUntil([this] { return !recording_->isConverting(); }));
        joinBackgroundThreads();
        loop_->runPending();
    }

    void verifyAtRest() {
        QCOMPARE(button_->imageName(), QString("btn_recordButton"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(view_->findChildren<CustomAnimating*>().isEmpty());
        QVERIFY(!recording_->isRecording());
    }

private slots:
    void init() {
        loop_ = std::make_unique<ManualLoop>();
        MainLoop::setMain(loop_.get());
        home_ = std::make_unique<QTemporaryDir>();
        previousPaths_ = AppPaths::current();
        AppPaths::setCurrent(AppPaths(home_->path().toStdString(), previousPaths_.resources()));
        source_ = test::tone(2.0);
        failure_ = WavFileAudioRecorder::Failure::None;
        recordersMade_ = 0;
        AudioStack::setRecorderFactory([this](QObject* parent) -> AudioRecorder* {
            ++recordersMade_;
            auto* recorder = new WavFileAudioRecorder(
                source_, [this] { return loop_->now(); }, parent);
            recorder->setFailure(failure_);
            return recorder;
        });
        view_ = std::make_unique<QWidget>();
        view_->resize(320, 436);
        button_ = new LongPressButton("按住说话", "btn_recordButton", view_.get());
        button_->setGeometry(60, 400, 200, 34);
        recording_ = std::make_unique<VoiceRecording>(button_, view_.get());
        finished_ = std::make_unique<QSignalSpy>(recording_.get(), &VoiceRecording::recordFinished);
        failed_ = std::make_unique<QSignalSpy>(recording_.get(), &VoiceRecording::recordFailed);
        ProgressHUD::resetForTesting();
    }

    void cleanup() {
        joinBackgroundThreads();
        finished_.reset();
        failed_.reset();
        recording_.reset();
        view_.reset();
        button_ = nullptr;
        loop_->runPending();
        AudioStack::setRecorderFactory({});
        AppPaths::setCurrent(previousPaths_);
        ProgressHUD::resetForTesting();
        MainLoop::setMain(nullptr);
        loop_.reset();
        home_.reset();
    }

    void aTapRecordsAndReportsNothing() {
        hold(250ms);
        loop_->advance(2s);
        QCOMPARE(finished_->size(), 0);
        QCOMPARE(failed_->size(), 0);
        QCOMPARE(recordersMade_, 0);
        QVERIFY(QDir(temporary()).entryList(QDir::Files).isEmpty());
        verifyAtRest();
    }

    void holdingShowsTheRecordingState() {
        QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(20, 10));
        loop_->advance(300ms);
        QVERIFY(recording_->isRecording());
        QCOMPARE(button_->imageName(), QString("btn_recordButton2"));
        QVERIFY(button_->isFlashing());
        const auto animations = view_->findChildren<CustomAnimating*>();
        QCOMPARE(animations.size(), 1);
        QVERIFY(animations[0]->isAnimating());
        QCOMPARE(animations[0]->y(), 436 - 240);
        QVERIFY(QRegularExpression("^R_5_\\d{10}\\.wav$")
                    .match(QFileInfo(recording_->wavPath()).fileName())
                    .hasMatch());
        QCOMPARE(QFileInfo(recording_->wavPath()).absolutePath(), QDir(temporary()).absolutePath());
        QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(20, 10));
        verifyAtRest();
        settle();
    }

    void aHoldReportsWholeSecondsAndAnAmrFile_data() {
        QTest::addColumn<int>("heldMs");
        QTest::addColumn<QPoint>("releasedAt");
        QTest::addColumn<int>("duration");
        QTest::newRow("1.5 s inside") << 1500 << QPoint(20, 10) << 1;
        QTest::newRow("1.5 s outside") << 1500 << QPoint(20, -200) << 1;
        QTest::newRow("1.3 s: one second recorded") << 1300 << QPoint(20, 10) << 1;
        QTest::newRow("2.6 s, longer than the source") << 2600 << QPoint(400, 10) << 2;
    }

    void aHoldReportsWholeSecondsAndAnAmrFile() {
        QFETCH(int, heldMs);
        QFETCH(QPoint, releasedAt);
        QFETCH(int, duration);
        hold(std::chrono::milliseconds(heldMs), releasedAt);
        QCOMPARE(failed_->size(), 0);
        QCOMPARE(finished_->size(), 1);
        QCOMPARE(finished_->at(0).at(0).toInt(), duration);
        const QString amr = finished_->at(0).at(1).toString();
        QVERIFY(
            QRegularExpression("^R_5_\\d{10}\\.amr$").match(QFileInfo(amr).fileName()).hasMatch());
        QFile file(amr);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("#!AMR\n"));
        verifyAtRest();
    }

    // A recording under one second is no message: nothing is reported for sending, its file
    // goes, and "说话时间太短" shows. The hold starts recording after 0.3 s.
    void aRecordingUnderOneSecondIsNotSent_data() {
        QTest::addColumn<int>("heldMs");
        QTest::addColumn<bool>("converts");
        QTest::newRow("0.34 s") << 340 << true;
        QTest::newRow("1.29 s") << 1290 << true;
        QTest::newRow("0.34 s, asking before sending") << 340 << false;
        QTest::newRow("0.9 s, asking before sending") << 900 << false;
    }

    void aRecordingUnderOneSecondIsNotSent() {
        QFETCH(int, heldMs);
        QFETCH(bool, converts);
        recording_->setConvertsOnRelease(converts);
        QSignalSpy stopped(recording_.get(), &VoiceRecording::recordStopped);
        hold(std::chrono::milliseconds(heldMs));
        QCOMPARE(finished_->size(), 0);
        QCOMPARE(stopped.size(), 0);
        QCOMPARE(failed_->size(), 1);
        QCOMPARE(ProgressHUD::status(), QString("说话时间太短"));
        QVERIFY(QDir(temporary()).entryList(QDir::Files).isEmpty());
        verifyAtRest();
    }

    // After a good recording a tap reports nothing: the last file is not sent again.
    void aTapAfterARecordingDoesNotRepeatIt() {
        hold(1500ms);
        QCOMPARE(finished_->size(), 1);
        hold(100ms);
        loop_->advance(1s);
        QCOMPARE(finished_->size(), 1);
        QCOMPARE(failed_->size(), 0);
    }

    void failuresAreNotReportedAsRecordings_data() {
        QTest::addColumn<int>("failure");
        QTest::addColumn<bool>("silentSource");
        QTest::addColumn<QString>("message");
        QTest::newRow("no microphone")
            << int(WavFileAudioRecorder::Failure::NoDevice) << false << "没有可用的麦克风";
        QTest::newRow("device error")
            << int(WavFileAudioRecorder::Failure::DeviceError) << false << "录音失败";
        QTest::newRow("no frames")
            << int(WavFileAudioRecorder::Failure::None) << true << "录音失败";
    }

    void failuresAreNotReportedAsRecordings() {
        QFETCH(int, failure);
        QFETCH(bool, silentSource);
        QFETCH(QString, message);
        failure_ = static_cast<WavFileAudioRecorder::Failure>(failure);
        if (silentSource) {
            source_ = Pcm16{};
        }
        hold(1500ms);
        QCOMPARE(finished_->size(), 0);
        QCOMPARE(failed_->size(), 1);
        QCOMPARE(failed_->at(0).at(0).toString(), message);
        QCOMPARE(ProgressHUD::status(), message);
        verifyAtRest();
        const QStringList amrFiles = QDir(temporary()).entryList({"*.amr"}, QDir::Files);
        QVERIFY2(amrFiles.isEmpty(), qPrintable(amrFiles.join(' ')));
    }

    // While a voice message is being sent a hold records nothing.
    void aBlockedButtonDoesNotRecord() {
        recording_->setBlocked(true);
        hold(1500ms);
        loop_->advance(1s);
        QCOMPARE(finished_->size(), 0);
        QCOMPARE(failed_->size(), 0);
        QCOMPARE(button_->imageName(), QString("btn_recordButton"));
        recording_->setBlocked(false);
        hold(1500ms);
        QCOMPARE(finished_->size(), 1);
    }

    // Leaving the screen while recording: the recording is dropped, nothing is reported.
    void aCancelledRecordingReportsNothing() {
        QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(20, 10));
        loop_->advance(1s);
        QVERIFY(recording_->isRecording());
        const QString wav = recording_->wavPath();
        recording_->cancel();
        QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(20, 10));
        settle();
        loop_->advance(1s);
        QCOMPARE(finished_->size(), 0);
        QCOMPARE(failed_->size(), 0);
        QVERIFY(!QFile::exists(wav));
        verifyAtRest();
    }
    // The conversion runs on after the release: leaving the screen then drops its result, and
    // a recording object gone by the time it ends is not called.
    void aConversionOutlivedByItsScreenReportsNothing() {
        QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(20, 10));
        loop_->advance(1500ms);
        QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(20, 10));
        QVERIFY(recording_->isConverting());
        recording_->cancel();
        joinBackgroundThreads();
        loop_->runPending();
        QCOMPARE(finished_->size(), 0);
        QCOMPARE(failed_->size(), 0);

        loop_->advance(1s);
        QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(20, 10));
        loop_->advance(1500ms);
        QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(20, 10));
        QVERIFY(recording_->isConverting());
        finished_.reset();
        failed_.reset();
        recording_.reset();
        joinBackgroundThreads();
        QCOMPARE(loop_->runPending(), 1);
    }
};

}  // namespace oa

OA_QT_TEST(VoiceRecordingTest)
#include "VoiceRecordingTest.moc"
