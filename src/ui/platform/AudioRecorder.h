// The audio recorder port: records the microphone into a WAV file of 8000 Hz mono 16-bit
// samples. Production: QtAudioRecorder; tests and --voice-input: WavFileAudioRecorder.
#pragma once

#include <QObject>
#include <QString>

namespace oa {

class AudioRecorder : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts recording into `path` (replaced). Returns "" when the recording runs, otherwise
    // why it cannot ("没有可用的麦克风" without an input device); nothing is emitted then.
    virtual QString start(const QString& path) = 0;
    // Ends the running recording; `finished` follows, from the event loop or at once. Does
    // nothing while none runs.
    virtual void stop() = 0;
    virtual bool isRecording() const = 0;

signals:
    // The recording ended: `ok` when the file holds what was recorded, with its number of
    // samples. A device that failed while recording gives ok false; whatever file it left is
    // no recording.
    void finished(bool ok, qint64 samples);
};

}  // namespace oa
