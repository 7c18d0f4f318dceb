// The audio ports: WAV files in and out, the multimedia module's sample conversion for devices
// that lack 8 kHz, the WAV-file recorder and its failures, the manual player, and the Qt
// recorder and player (on the module) where the machine has no audio device.
#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/multimedia/PcmConvert.h"
#include "ui/platform/AudioStack.h"
#include "ui/platform/ManualAudioPlayer.h"
#include "ui/platform/QtAudioPlayer.h"
#include "ui/platform/QtAudioRecorder.h"
#include "ui/platform/WavFileAudioRecorder.h"
#include "ui/support/QtTestRegistry.h"
#include "ui/voice/VoiceSamples.h"

using namespace std::chrono_literals;

namespace oa {

class AudioPortsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString file(const QString& name) const { return dir_.filePath(name); }

private slots:
    void wavFileKeepsSamplesAndRefusesOtherFiles() {
        const Pcm16 pcm = test::tone(0.25);
        QVERIFY(WavFile::write(file("a.wav"), pcm));
        QFile written(file("a.wav"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.size(), 44 + static_cast<qint64>(pcm.samples.size()) * 2);
        const QByteArray bytes = written.readAll();
        const auto back = WavFile::read(file("a.wav"));
        QVERIFY(back);
        QCOMPARE(back->sampleRate, 8000);
        QCOMPARE(back->channels, 1);
        QVERIFY(back->samples == pcm.samples);

        // A data chunk cut in the middle of a sample keeps the whole samples before the cut.
        QFile cut(file("cut.wav"));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(bytes.left(44 + 201));
        cut.close();
        const auto shortened = WavFile::read(file("cut.wav"));
        QVERIFY(shortened);
        QCOMPARE(shortened->samples.size(), std::size_t{100});

        // 8-bit samples, a text file and a missing file are no WAV of 16-bit samples.
        QByteArray eightBit = bytes;
        eightBit[34] = 8;
        QFile other(file("8bit.wav"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write(eightBit);
        other.close();
        QVERIFY(!WavFile::read(file("8bit.wav")));
        QFile text(file("text.wav"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("RIFF, but not really a wave file");
        text.close();
        QVERIFY(!WavFile::read(file("text.wav")));
        QVERIFY(!WavFile::read(file("missing.wav")));
    }

    // A device that only offers 48 kHz stereo float: one second comes out as one second of
    // 8 kHz mono with the same tone, and back.
    void deviceFormatsConvertBothWays() {
        QAudioFormat device;
        device.setSampleRate(48000);
        device.setChannelCount(2);
        device.setSampleFormat(QAudioFormat::Float);
        const Pcm16 voice = test::tone(1.0);
        const QByteArray raw = PcmConvert::toDevice(voice, device);
        QCOMPARE(raw.size(), qsizetype{48000 * 2 * 4});

        const auto back = PcmConvert::toVoice(raw, device);
        QCOMPARE(back.size(), std::size_t{8000});
        double error = 0;
        for (std::size_t i = 100; i < 7900; ++i) {
            error = std::max(error, std::abs(double(back[i]) - double(voice.samples[i])));
        }
        QVERIFY2(error < 200, qPrintable(QString::number(error)));

        QAudioFormat bytes;
        bytes.setSampleRate(8000);
        bytes.setChannelCount(1);
        bytes.setSampleFormat(QAudioFormat::UInt8);
        const auto fromBytes = PcmConvert::toVoice(PcmConvert::toDevice(voice, bytes), bytes);
        QCOMPARE(fromBytes.size(), voice.samples.size());
        QVERIFY(std::abs(fromBytes[20] - voice.samples[20]) < 300);
    }

    void wavFileRecorderRecordsForTheTimeHeld() {
        std::chrono::milliseconds now{5000};
        WavFileAudioRecorder recorder(test::tone(1.0, 16000), [&now] { return now; });
        QSignalSpy finished(&recorder, &AudioRecorder::finished);
        QCOMPARE(recorder.start(file("held.wav")), QString());
        QVERIFY(recorder.isRecording());
        now += 2500ms;  // longer than the source: it starts again from the beginning
        recorder.stop();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toBool(), true);
        QCOMPARE(finished[0][1].toLongLong(), qint64{20000});
        const auto recorded = WavFile::read(file("held.wav"));
        QVERIFY(recorded);
        QCOMPARE(recorded->sampleRate, 8000);
        QCOMPARE(recorded->samples.size(), std::size_t{20000});
        QCOMPARE(recorded->samples[8000 + 17], recorded->samples[17]);
        QVERIFY(recorded->samples[17] != 0);

        recorder.stop();
        QCOMPARE(finished.size(), 1);
    }

    void wavFileRecorderActsOutDeviceFailures() {
        WavFileAudioRecorder recorder(test::tone(1.0));
        QSignalSpy finished(&recorder, &AudioRecorder::finished);
        recorder.setFailure(WavFileAudioRecorder::Failure::NoDevice);
        QCOMPARE(recorder.start(file("none.wav")), QString("没有可用的麦克风"));
        QVERIFY(!recorder.isRecording());
        recorder.stop();
        QCOMPARE(finished.size(), 0);

        recorder.setFailure(WavFileAudioRecorder::Failure::DeviceError);
        QCOMPARE(recorder.start(file("broken.wav")), QString());
        recorder.stop();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toBool(), false);

        // An unreadable source records no samples, never made-up silence.
        QScopedPointer<WavFileAudioRecorder> empty(
            WavFileAudioRecorder::fromFile(file("missing.wav")));
        QSignalSpy emptyFinished(empty.data(), &AudioRecorder::finished);
        QCOMPARE(empty->start(file("empty.wav")), QString());
        empty->stop();
        QCOMPARE(emptyFinished.size(), 1);
        QCOMPARE(emptyFinished[0][1].toLongLong(), qint64{0});
    }

    void manualPlayerFinishesWhenTold() {
        ManualAudioPlayer player;
        QSignalSpy finished(&player, &AudioPlayer::finished);
        player.finish(true);
        QCOMPARE(finished.size(), 0);
        player.play("a.wav");
        QVERIFY(player.isPlaying());
        player.finish(false);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toBool(), false);
        player.play("b.wav");
        player.stop();
        player.finish(true);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(player.played(), QStringList({"a.wav", "b.wav"}));
    }

    // Making the Qt recorder and player touches no device; the first start or play does.
    void theAudioStackStartsOnFirstUse() {
        const bool before = AudioStack::hasStarted();
        QScopedPointer<AudioRecorder> recorder(AudioStack::makeRecorder(nullptr));
        QScopedPointer<AudioPlayer> player(AudioStack::makePlayer(nullptr));
        QVERIFY(qobject_cast<QtAudioRecorder*>(recorder.data()));
        QVERIFY(qobject_cast<QtAudioPlayer*>(player.data()));
        QCOMPARE(AudioStack::hasStarted(), before);
        recorder->start(file("probe.wav"));
        recorder->stop();
        QVERIFY(AudioStack::hasStarted());
    }

    void realRecorderWithoutMicrophoneSaysSo() {
        if (!QMediaDevices::defaultAudioInput().isNull()) {
            QSKIP("this machine has a microphone");
        }
        QtAudioRecorder recorder;
        QSignalSpy finished(&recorder, &AudioRecorder::finished);
        QCOMPARE(recorder.start(file("mic.wav")), QString("没有可用的麦克风"));
        QVERIFY(!recorder.isRecording());
        recorder.stop();
        QCOMPARE(finished.size(), 0);
        QVERIFY(!QFile::exists(file("mic.wav")));
    }

    // A file that is no WAV, or no output device, ends the playback as failed, and from the
    // event loop: the caller has set its state up before the answer comes.
    void realPlayerFailsInsteadOfHanging() {
        QtAudioPlayer player;
        QSignalSpy finished(&player, &AudioPlayer::finished);
        QFile bad(file("bad.wav"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("#!AMR\n not a wave");
        bad.close();
        player.play(file("bad.wav"));
        QCOMPARE(finished.size(), 0);
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished[0][0].toBool(), false);
        QVERIFY(!player.isPlaying());

        if (!QMediaDevices::defaultAudioOutput().isNull()) {
            return;  // the rest needs a machine without speakers
        }
        QVERIFY(WavFile::write(file("good.wav"), test::tone(0.5)));
        player.play(file("good.wav"));
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.size(), 2);
        QCOMPARE(finished[1][0].toBool(), false);
    }

    // Playing again replaces the earlier playback, which reports nothing more.
    void realPlayerReportsOnlyTheLatestPlayback() {
        QtAudioPlayer player;
        QSignalSpy finished(&player, &AudioPlayer::finished);
        player.play(file("missing-1.wav"));
        player.play(file("missing-2.wav"));
        QVERIFY(finished.wait(5000));
        QCoreApplication::processEvents();
        QCOMPARE(finished.size(), 1);
        player.play(file("missing-3.wav"));
        player.stop();
        QCoreApplication::processEvents();
        QCOMPARE(finished.size(), 1);
    }
};

}  // namespace oa

OA_QT_TEST(AudioPortsTest)
#include "AudioPortsTest.moc"
