// Without the multimedia module (OA_MODULE_DIR points at an empty folder): the recorder answers
// why it cannot record, the player fails from the event loop, there is no camera and a photo is
// nothing; nothing crashes and nothing of Qt Multimedia gets loaded. A file that is not the
// module is refused with its reason.
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/platform/AudioStack.h"
#include "ui/platform/DesktopPicturePicker.h"
#include "ui/platform/Multimedia.h"
#include "ui/platform/QtAudioPlayer.h"
#include "ui/platform/QtAudioRecorder.h"
#include "ui/platform/WavFile.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

bool mapped(const char* name) {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) {
        return true;  // cannot tell: fail rather than pass unseen
    }
    return maps.readAll().contains(name);
}

}  // namespace

class MissingMultimediaTest : public QObject {
    Q_OBJECT

    QTemporaryDir empty_;
    QTemporaryDir files_;

private slots:
    void initTestCase() {
        QVERIFY(empty_.isValid() && files_.isValid());
        qputenv("OA_MODULE_DIR", empty_.path().toUtf8());
    }

    void theRecorderSaysTheAudioPartIsMissing() {
        QtAudioRecorder recorder;
        QSignalSpy finished(&recorder, &AudioRecorder::finished);
        const QString path = files_.filePath(QStringLiteral("mic.wav"));
        QCOMPARE(recorder.start(path), QStringLiteral("音频组件无法加载"));
        QVERIFY(AudioStack::hasStarted());
        QVERIFY(!recorder.isRecording());
        recorder.stop();
        // A second try gives the same answer without trying the folder again.
        QCOMPARE(recorder.start(path), QStringLiteral("音频组件无法加载"));
        QCoreApplication::processEvents();
        QCOMPARE(finished.size(), 0);
        QVERIFY(!QFile::exists(path));
        QVERIFY2(multimediaLoadError().contains(empty_.path()), qPrintable(multimediaLoadError()));
    }

    // A good file still fails, once, and only after play() returned; a later play replaces it.
    void thePlayerFailsFromTheEventLoop() {
        const QString path = files_.filePath(QStringLiteral("tone.wav"));
        Pcm16 pcm;
        pcm.samples.assign(4000, 1000);
        QVERIFY(WavFile::write(path, pcm));
        QtAudioPlayer player;
        QSignalSpy finished(&player, &AudioPlayer::finished);
        player.play(path);
        QCOMPARE(finished.size(), 0);
        QVERIFY(player.isPlaying());
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QVERIFY(!player.isPlaying());

        player.play(path);
        player.play(path);
        QVERIFY(finished.wait(5000));
        QCoreApplication::processEvents();
        QCOMPARE(finished.size(), 2);
    }

    void thereIsNoCameraAndAPhotoIsNothing() {
        DesktopPicturePicker picker;
        QVERIFY(!picker.hasCamera());
        std::optional<std::optional<QString>> answer;
        picker.takePhoto([&](std::optional<QString> path) { answer = path; });
        QVERIFY(!answer.has_value());
        QTRY_VERIFY_WITH_TIMEOUT(answer.has_value(), 5000);
        QCOMPARE(*answer, std::nullopt);
    }

    void nothingOfQtMultimediaWasLoaded() {
        QVERIFY(!mapped("libQt6Multimedia"));
        QVERIFY(!mapped("oa_multimedia"));
    }

    void aFileThatIsNotTheModuleIsRefusedWithItsReason() {
        const QString fake = files_.filePath(QStringLiteral("oa_multimedia.so"));
        QFile file(fake);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a shared object\n");
        file.close();
        const QString missing = files_.filePath(QStringLiteral("missing/oa_multimedia.so"));
        QString error;
        QVERIFY(!loadMultimediaModule({missing, fake}, &error));
        QVERIFY2(error.contains(missing) && error.contains(QStringLiteral("not found")),
                 qPrintable(error));
        QVERIFY2(error.contains(fake), qPrintable(error));
    }
};

}  // namespace oa

OA_QT_TEST(MissingMultimediaTest)
#include "MissingMultimediaTest.moc"
