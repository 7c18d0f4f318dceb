// Voice in the dialog with a fake player: a recording is uploaded to the partner and the
// conversation reloads; a tapped voice bubble is downloaded, converted and played, and its
// animation stops and touches come back however the playback ends (a cut download, a file that
// is not AMR, a player error), leaving no file of a failed download behind.
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <memory>

#include "../voice/VoiceSamples.h"
#include "DialogServer.h"
#include "core/platform/AppPaths.h"
#include "core/voice/VoiceConverter.h"
#include "ui/controller/message/MessageController.h"
#include "ui/controller/message/UIBubbleTableView.h"
#include "ui/controller/message/UIBubbleTableViewCell.h"
#include "ui/controller/message/UIInputToolbar.h"
#include "ui/kit/CheckBox.h"
#include "ui/kit/LongPressButton.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/platform/AudioStack.h"
#include "ui/platform/ManualAudioPlayer.h"
#include "ui/platform/WavFile.h"
#include "ui/platform/WavFileAudioRecorder.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

using dialog::DialogServer;
using dialog::record;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

class DialogVoiceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home_;
    AppPaths previousPaths_ = AppPaths::current();
    QPointer<ManualAudioPlayer> player_;
    std::string amrBytes_;

    // A two-second AMR recording made from a tone.
    std::string makeAmr(const QString& name) {
        const QString wav = QDir(home_->path()).filePath(name + ".wav");
        if (!WavFile::write(wav, test::tone(2.0))) {
            return {};
        }
        const auto amr = VoiceConverter::wavToAmr(wav.toStdString());
        return amr ? *amr : std::string();
    }

    std::unique_ptr<MessageController> open(QSignalSpy*& loads) {
        auto controller = std::make_unique<MessageController>();
        controller->setQ_id("7");
        controller->setQ_name("吴强");
        loads = new QSignalSpy(controller.get(), &MessageController::loadFinished);
        loads->setParent(controller.get());
        controller->beginAppearanceTransition(true, false);
        controller->view()->resize(320, 436);
        controller->view()->show();
        controller->endAppearanceTransition();
        return controller;
    }

    void tapBubble(MessageController& controller, int row) {
        UIBubbleTableView* table = controller.bubbleTable();
        UIBubbleTableViewCell* cell = table->bubbleCell(row);
        QVERIFY(cell);
        QWidget* bubble = cell->bubbleImage();
        QTest::mouseClick(table, Qt::LeftButton, {}, bubble->mapTo(table, bubble->rect().center()));
    }

    std::string voiceFolder() const {
        return QDir(home_->path()).filePath("Documents/voice").toStdString();
    }

private slots:
    void init() {
        home_ = std::make_unique<QTemporaryDir>();
        previousPaths_ = AppPaths::current();
        AppPaths::setCurrent(AppPaths(home_->path().toStdString(), previousPaths_.resources()));
        AudioStack::setPlayerFactory([this](QObject* parent) -> AudioPlayer* {
            player_ = new ManualAudioPlayer(parent);
            return player_;
        });
        const std::string amr = makeAmr("source");
        QVERIFY(!amr.empty());
        amrBytes_ = readAll(amr);
    }
    void cleanup() {
        dialog::drain();
        AudioStack::setPlayerFactory({});
        AppPaths::setCurrent(previousPaths_);
        ProgressHUD::resetForTesting();
        GlobalVar::getInstance_global().resetForTesting();
    }

    // A finished recording goes to the partner with its duration in milliseconds; no new
    // recording starts until the upload came back; then the conversation reloads.
    void recordingIsUploadedThenReloaded() {
        DialogServer server;
        QSignalSpy* loads = nullptr;
        auto controller = open(loads);
        QTRY_COMPARE(loads->count(), 1);
        QSignalSpy sends(controller.get(), &MessageController::sendFinished);
        const std::string amr = makeAmr("R_5_100");
        server.setDialog(200, "[" + record("", "1", "1", "2", "v2") + "]");
        controller->recordFinished(2, QString::fromStdString(amr));
        QVERIFY(controller->isSendingVoice());
        QTRY_COMPARE(sends.count(), 1);
        QVERIFY(sends.at(0).at(0).toBool());
        QVERIFY(!controller->isSendingVoice());
        QTRY_COMPARE(loads->count(), 2);
        QCOMPARE(controller->bubbleData().size(), size_t(1));
        QVERIFY(controller->bubbleData()[0]->isVoice());
        const auto uploads = server.server.requests();
        const auto& upload = uploads.at(uploads.size() - 2);
        QCOMPARE(upload.path, std::string("/corvane/im/upload.php"));
        QCOMPARE(dialog::field(upload, "DEST_UID"), std::string("7"));
        QCOMPARE(dialog::field(upload, "DURATION"), std::string("2000"));
    }

    // A tapped voice bubble is fetched and played; the end of the playback stops the
    // animation and lets touches through again.
    void playbackEndsTheAnimation() {
        DialogServer server;
        server.setVoice(200, amrBytes_);
        server.setDialog(200, "[" + record("", "0", "1", "2", "v1") + "]");
        QSignalSpy* loads = nullptr;
        auto controller = open(loads);
        QTRY_COMPARE(loads->count(), 1);
        QSignalSpy played(controller.get(), &MessageController::playbackFinished);
        tapBubble(*controller, 0);
        QVERIFY(controller->bubbleTable()->isPlaying());
        QTRY_VERIFY(player_ && player_->isPlaying());
        QCOMPARE(player_->played().size(), 1);
        QVERIFY(player_->played()[0].endsWith("Documents/voice/v1.wav"));
        player_->finish(true);
        QCOMPARE(played.count(), 1);
        QVERIFY(played.at(0).at(0).toBool());
        QVERIFY(!controller->bubbleTable()->isPlaying());
    }

    // A cut download, then bytes that are not AMR: "播放失败", the animation stops, no file of
    // the failed attempt is left, and the next tap (with a good reply) plays.
    void failedDownloadsLeaveNothingAndRetry() {
        DialogServer server;
        server.setVoice(200, amrBytes_, true);
        server.setDialog(200, "[" + record("", "0", "1", "2", "v1") + "]");
        QSignalSpy* loads = nullptr;
        auto controller = open(loads);
        QTRY_COMPARE(loads->count(), 1);
        QSignalSpy played(controller.get(), &MessageController::playbackFinished);

        tapBubble(*controller, 0);
        QTRY_COMPARE(played.count(), 1);
        QVERIFY(!played.at(0).at(0).toBool());
        QCOMPARE(ProgressHUD::status(), QString("播放失败"));
        QVERIFY(!controller->bubbleTable()->isPlaying());
        QVERIFY(!std::filesystem::exists(voiceFolder() + "/v1.amr"));
        QVERIFY(!std::filesystem::exists(voiceFolder() + "/v1.wav"));

        server.setVoice(200, "<html>not a voice file</html>");
        tapBubble(*controller, 0);
        QTRY_COMPARE(played.count(), 2);
        QVERIFY(!played.at(1).at(0).toBool());
        QVERIFY(!controller->bubbleTable()->isPlaying());
        QVERIFY(!std::filesystem::exists(voiceFolder() + "/v1.amr"));
        QVERIFY(!std::filesystem::exists(voiceFolder() + "/v1.wav"));

        server.setVoice(200, amrBytes_);
        tapBubble(*controller, 0);
        QTRY_VERIFY(player_ && player_->isPlaying());
        player_->finish(false);
        QCOMPARE(played.count(), 3);
        QVERIFY(!played.at(2).at(0).toBool());
        QCOMPARE(ProgressHUD::status(), QString("播放失败"));
        QVERIFY(!controller->bubbleTable()->isPlaying());
    }

    // A good file stays good: a later failed download of the same name does not spoil it.
    void aFailedDownloadKeepsTheEarlierFile() {
        DialogServer server;
        server.setVoice(200, amrBytes_);
        server.setDialog(200, "[" + record("", "0", "1", "2", "v1") + "]");
        QSignalSpy* loads = nullptr;
        auto controller = open(loads);
        QTRY_COMPARE(loads->count(), 1);
        QSignalSpy played(controller.get(), &MessageController::playbackFinished);
        tapBubble(*controller, 0);
        QTRY_VERIFY(player_ && player_->isPlaying());
        player_->finish(true);
        const std::string wav = readAll(voiceFolder() + "/v1.wav");
        QVERIFY(!wav.empty());

        server.setVoice(200, "garbage");
        tapBubble(*controller, 0);
        QTRY_COMPARE(played.count(), 2);
        QCOMPARE(readAll(voiceFolder() + "/v1.wav"), wav);
        QCOMPARE(readAll(voiceFolder() + "/v1.amr"), amrBytes_);
    }

    // Leaving the dialog during a recording ends it and sends nothing, not even on the release
    // that follows.
    void leavingDropsTheRecording() {
        DialogServer server;
        server.setDialog(200, "[" + record("A", "1") + "]");
        AudioStack::setRecorderFactory([](QObject* parent) -> AudioRecorder* {
            return new WavFileAudioRecorder(test::tone(4.0), {}, parent);
        });
        QSignalSpy* loads = nullptr;
        auto controller = open(loads);
        QTRY_COMPARE(loads->count(), 1);
        QSignalSpy sends(controller.get(), &MessageController::sendFinished);
        UIInputToolbar* bar = controller->inputToolbar();
        QTest::mouseClick(bar->check(), Qt::LeftButton);
        QTest::mousePress(bar->recordButton(), Qt::LeftButton);
        QTRY_VERIFY(controller->recording()->isRecording());
        controller->beginAppearanceTransition(false, false);
        controller->endAppearanceTransition();
        QVERIFY(!controller->recording()->isRecording());
        QTest::mouseRelease(bar->recordButton(), Qt::LeftButton);
        dialog::drain();
        QCoreApplication::processEvents();
        QCOMPARE(sends.count(), 0);
        QCOMPARE(server.count("UPLOAD_MODE", "1"), 0);
        AudioStack::setRecorderFactory({});
    }

    // While a recording is being uploaded a hold on the button records nothing; once the upload
    // came back the same hold records again.
    void aHoldDuringAnUploadRecordsNothing() {
        DialogServer server;
        int recorders = 0;
        AudioStack::setRecorderFactory([&recorders](QObject* parent) -> AudioRecorder* {
            ++recorders;
            return new WavFileAudioRecorder(test::tone(4.0), {}, parent);
        });
        QSignalSpy* loads = nullptr;
        auto controller = open(loads);
        QTRY_COMPARE(loads->count(), 1);
        QSignalSpy sends(controller.get(), &MessageController::sendFinished);
        UIInputToolbar* bar = controller->inputToolbar();
        QTest::mouseClick(bar->check(), Qt::LeftButton);

        server.holdNextUpload();
        controller->recordFinished(2, QString::fromStdString(makeAmr("R_5_2")));
        QTRY_COMPARE(server.count("UPLOAD_MODE", "1"), 1);
        QTest::mousePress(bar->recordButton(), Qt::LeftButton);
        // Well past the 0.3 s after which a hold starts recording.
        QTest::qWait(800);
        QVERIFY(!controller->recording()->isRecording());
        QCOMPARE(recorders, 0);
        QTest::mouseRelease(bar->recordButton(), Qt::LeftButton);

        server.server.release();
        QTRY_COMPARE(sends.count(), 1);
        QTest::mousePress(bar->recordButton(), Qt::LeftButton);
        QTRY_VERIFY(controller->recording()->isRecording());
        QCOMPARE(recorders, 1);
        controller->recording()->cancel();
        QTest::mouseRelease(bar->recordButton(), Qt::LeftButton);
        dialog::drain();
        AudioStack::setRecorderFactory({});
    }

    // Leaving the dialog stops the playback.
    void leavingStopsPlayback() {
        DialogServer server;
        server.setVoice(200, amrBytes_);
        server.setDialog(200, "[" + record("", "0", "1", "2", "v1") + "]");
        QSignalSpy* loads = nullptr;
        auto controller = open(loads);
        QTRY_COMPARE(loads->count(), 1);
        tapBubble(*controller, 0);
        QTRY_VERIFY(player_ && player_->isPlaying());
        controller->beginAppearanceTransition(false, false);
        controller->endAppearanceTransition();
        QVERIFY(!player_->isPlaying());
        QVERIFY(!controller->bubbleTable()->isPlaying());
    }
};

OA_QT_TEST(DialogVoiceTest)

}  // namespace oa

#include "DialogVoiceTest.moc"
