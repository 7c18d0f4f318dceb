// The recording itself runs in the multimedia module; this writes what it gave as a WAV file.
#include "ui/platform/QtAudioRecorder.h"

#include <QFile>

#include "core/platform/Log.h"
#include "core/voice/VoicePcm.h"
#include "ui/platform/AudioStack.h"
#include "ui/platform/Multimedia.h"
#include "ui/platform/MultimediaBackend.h"
#include "ui/platform/WavFile.h"

namespace oa {

QtAudioRecorder::QtAudioRecorder(QObject* parent) : AudioRecorder(parent) {}

QtAudioRecorder::~QtAudioRecorder() = default;

QString QtAudioRecorder::start(const QString& path) {
    if (isRecording()) {
        return QStringLiteral("录音失败");
    }
    AudioStack::markStarted();
    MultimediaBackend* backend = multimediaBackend();
    if (!backend) {
        return QString::fromUtf8(kMultimediaMissing);
    }
    if (!backend->hasAudioInput()) {
        return QStringLiteral("没有可用的麦克风");
    }
    capture_ = backend->startCapture();
    if (!capture_) {
        return QStringLiteral("没有可用的麦克风");
    }
    path_ = path;
    return {};
}

void QtAudioRecorder::stop() {
    if (!isRecording()) {
        return;
    }
    const CapturedVoice voice = capture_->finish();
    capture_.reset();
    if (voice.deviceFailed) {
        log("audio: the input device failed while recording");
        QFile::remove(path_);
        emit finished(false, 0);
        return;
    }
    if (!WavFile::write(path_, Pcm16{VoicePcm::kRate, 1, voice.samples})) {
        log("audio: cannot write " + path_.toStdString());
        emit finished(false, 0);
        return;
    }
    emit finished(true, static_cast<qint64>(voice.samples.size()));
}

}  // namespace oa
