// Playback in push-from-buffer mode; the sink going idle means the buffer has been played.
#include "ui/platform/QtAudioPlayer.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>

#include "core/platform/Log.h"
#include "ui/platform/AudioStack.h"
#include "ui/platform/PcmConvert.h"
#include "ui/platform/WavFile.h"

namespace oa {

namespace {

// A sink that neither plays nor fails (a suspended or vanished device) ends the playback as
// failed this long after the file's own length.
constexpr int kWatchdogSlackMs = 3000;

}  // namespace

QtAudioPlayer::QtAudioPlayer(QObject* parent) : AudioPlayer(parent) {
    watchdog_.setSingleShot(true);
    connect(&watchdog_, &QTimer::timeout, this, [this] {
        log("audio: the output device stopped playing");
        finish(false);
    });
}

QtAudioPlayer::~QtAudioPlayer() {
    release();
}

void QtAudioPlayer::play(const QString& path) {
    release();
    ++generation_;
    playing_ = true;
    const auto pcm = WavFile::read(path);
    if (!pcm || pcm->samples.empty()) {
        log("audio: not a playable WAV file: " + path.toStdString());
        failLater();
        return;
    }
    AudioStack::markStarted();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        log("audio: no output device");
        failLater();
        return;
    }
    QAudioFormat format;
    format.setSampleRate(pcm->sampleRate);
    format.setChannelCount(pcm->channels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        format = device.preferredFormat();
    }
    buffer_.setData(PcmConvert::toDevice(*pcm, format));
    buffer_.open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(device, format);
    connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (!sink_) {
            return;
        }
        if (sink_->error() != QAudio::NoError && sink_->error() != QAudio::UnderrunError) {
            finish(false);
        } else if (state == QAudio::IdleState && buffer_.atEnd()) {
            finish(true);
        }
    });
    sink_->start(&buffer_);
    if (sink_->error() != QAudio::NoError || sink_->state() == QAudio::StoppedState) {
        log("audio: the output device does not open");
        release();
        failLater();
        return;
    }
    const auto lengthMs = static_cast<qint64>(pcm->samples.size()) * 1000 /
                          (static_cast<qint64>(pcm->sampleRate) * pcm->channels);
    watchdog_.start(static_cast<int>(lengthMs + kWatchdogSlackMs));
}

void QtAudioPlayer::failLater() {
    const unsigned generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == generation_) {
                finish(false);
            }
        },
        Qt::QueuedConnection);
}

void QtAudioPlayer::stop() {
    ++generation_;
    release();
}

void QtAudioPlayer::finish(bool ok) {
    if (!playing_) {
        return;
    }
    release();
    emit finished(ok);
}

void QtAudioPlayer::release() {
    playing_ = false;
    watchdog_.stop();
    if (sink_) {
        sink_->disconnect(this);
        sink_->stop();
        sink_.reset();
    }
    buffer_.close();
    buffer_.setData(QByteArray());
}

}  // namespace oa
