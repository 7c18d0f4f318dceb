// Recording in pull mode: the source's buffer is read as it fills and once more at stop.
#include "ui/platform/QtAudioRecorder.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QFile>
#include <QMediaDevices>

#include "core/platform/Log.h"
#include "ui/platform/AudioStack.h"
#include "ui/platform/PcmConvert.h"
#include "ui/platform/WavFile.h"

namespace oa {

QtAudioRecorder::QtAudioRecorder(QObject* parent) : AudioRecorder(parent) {}

QtAudioRecorder::~QtAudioRecorder() {
    release();
}

QString QtAudioRecorder::start(const QString& path) {
    if (isRecording()) {
        return QStringLiteral("录音失败");
    }
    AudioStack::markStarted();
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull()) {
        return QStringLiteral("没有可用的麦克风");
    }
    format_ = PcmConvert::voiceFormat();
    if (!device.isFormatSupported(format_)) {
        format_ = device.preferredFormat();
    }
    source_ = std::make_unique<QAudioSource>(device, format_);
    raw_.clear();
    deviceFailed_ = false;
    path_ = path;
    io_ = source_->start();
    if (!io_ || source_->error() != QAudio::NoError) {
        release();
        return QStringLiteral("没有可用的麦克风");
    }
    connect(io_, &QIODevice::readyRead, this, &QtAudioRecorder::drain);
    connect(source_.get(), &QAudioSource::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::StoppedState && source_ && source_->error() != QAudio::NoError) {
            deviceFailed_ = true;
        }
    });
    return {};
}

void QtAudioRecorder::drain() {
    if (io_) {
        raw_.append(io_->readAll());
    }
}

void QtAudioRecorder::stop() {
    if (!isRecording()) {
        return;
    }
    drain();
    const bool failed = deviceFailed_ || source_->error() == QAudio::OpenError ||
                        source_->error() == QAudio::IOError ||
                        source_->error() == QAudio::FatalError;
    release();
    const auto samples = PcmConvert::toVoice(raw_, format_);
    raw_.clear();
    if (failed) {
        log("audio: the input device failed while recording");
        QFile::remove(path_);
        emit finished(false, 0);
        return;
    }
    if (!WavFile::write(path_, Pcm16{PcmConvert::kVoiceRate, 1, samples})) {
        log("audio: cannot write " + path_.toStdString());
        emit finished(false, 0);
        return;
    }
    emit finished(true, static_cast<qint64>(samples.size()));
}

void QtAudioRecorder::release() {
    if (source_) {
        source_->disconnect(this);
        if (io_) {
            io_->disconnect(this);
        }
        source_->stop();
        source_.reset();
    }
    io_ = nullptr;
}

}  // namespace oa
