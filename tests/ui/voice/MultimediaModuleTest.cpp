// The multimedia module itself: found after files that are not it, one backend however often it
// is loaded, refused for another version, and telling the devices as Qt Multimedia sees them.
// Machines without audio devices or camera exercise the "none" answers: no recording, no
// playback and no callback.
#include <QAudioDevice>
#include <QCameraDevice>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/platform/ClientModule.h"
#include "ui/platform/Multimedia.h"
#include "ui/platform/MultimediaBackend.h"
#include "ui/support/QtTestRegistry.h"
#include "ui/voice/VoiceSamples.h"

namespace oa {

class MultimediaModuleTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QStringList candidates() const {
        return {dir_.filePath(QStringLiteral("oa_multimedia.so")),
                QStringLiteral(OA_MULTIMEDIA_MODULE_FILE)};
    }

private slots:
    void theModuleLoadsOnceAndChecksTheVersion() {
        QString error;
        MultimediaBackend* backend = loadMultimediaModule(candidates(), &error);
        QVERIFY2(backend, qPrintable(error));
        QCOMPARE(loadMultimediaModule(candidates(), &error), backend);
        // The client looks in the build tree as well: the same backend.
        QCOMPARE(multimediaBackend(), backend);

        QVERIFY(!loadClientModule(candidates(), kMultimediaBackendEntry,
                                  kMultimediaBackendVersion + 1, &error));
        QVERIFY2(error.contains(QStringLiteral("another version")), qPrintable(error));
    }

    void theDevicesAreThoseQtMultimediaSees() {
        MultimediaBackend* backend = loadMultimediaModule(candidates(), nullptr);
        QVERIFY(backend);
        const bool input = !QMediaDevices::defaultAudioInput().isNull();
        const bool output = !QMediaDevices::defaultAudioOutput().isNull();
        QCOMPARE(backend->hasAudioInput(), input);
        QCOMPARE(backend->hasAudioOutput(), output);
        QCOMPARE(backend->hasCamera(), !QMediaDevices::videoInputs().isEmpty());

        if (!input) {
            QVERIFY(!backend->startCapture());
        }
        int calls = 0;
        // Nothing to play is no playback, whatever the machine has.
        QVERIFY(!backend->startPlayback(Pcm16{}, [&](bool) { ++calls; }));
        if (!output) {
            QVERIFY(!backend->startPlayback(test::tone(0.2), [&](bool) { ++calls; }));
        }
        QTest::qWait(50);
        QCOMPARE(calls, 0);
    }
};

}  // namespace oa

OA_QT_TEST(MultimediaModuleTest)
#include "MultimediaModuleTest.moc"
