// DeviceCapture and DevicePlayback: the device's own format is converted (PcmConvert) when it
// does not take the voice format or the file's.
#include "ui/multimedia/AudioDevices.h"

#include <QAudioSink>
#include <QAudioSource>
#include <QTimer>

#include "ui/multimedia/PcmConvert.h"

namespace oa {

DeviceCapture::DeviceCapture() = default;

DeviceCapture::~DeviceCapture() {
    release();
}

bool DeviceCapture::start(const QAudioDevice& device) {
    format_ = PcmConvert::voiceFormat();
    if (!device.isFormatSupported(format_)) {
        format_ = device.preferredFormat();
    }
    source_ = std::make_unique<QAudioSource>(device, format_);
    raw_.clear();
    deviceFailed_ = false;
    io_ = source_->start();
    if (!io_ || source_->error() != QAudio::NoError) {
        release();
        return false;
    }
    QObject::connect(io_, &QIODevice::readyRead, &context_, [this] { drain(); });
    QObject::connect(
        source_.get(), &QAudioSource::stateChanged, &context_, [this](QAudio::State state) {
            if (state == QAudio::StoppedState && source_ && source_->error() != QAudio::NoError) {
                deviceFailed_ = true;
            }
        });
    return true;
}

void DeviceCapture::drain() {
    if (io_) {
        raw_.append(io_->readAll());
    }
}

CapturedVoice DeviceCapture::finish() {
    if (!source_) {
        return {{}, true};
    }
    drain();
    const QAudio::Error error = source_->error();
    const bool failed = deviceFailed_ || error == QAudio::OpenError || error == QAudio::IOError ||
                        error == QAudio::FatalError;
    release();
    CapturedVoice voice{PcmConvert::toVoice(raw_, format_), failed};
    raw_.clear();
    return voice;
}

void DeviceCapture::release() {
    if (source_) {
        source_->disconnect(&context_);
        if (io_) {
            io_->disconnect(&context_);
        }
        source_->stop();
        source_.reset();
    }
    io_ = nullptr;
}

DevicePlayback::DevicePlayback() = default;

DevicePlayback::~DevicePlayback() {
    *alive_ = false;
    if (sink_) {
        sink_->disconnect(&context_);
        sink_->stop();
        sink_.reset();
    }
    buffer_.close();
}

bool DevicePlayback::start(const QAudioDevice& device, const Pcm16& pcm,
                           std::function<void(bool)> finished) {
    QAudioFormat format;
    format.setSampleRate(pcm.sampleRate);
    format.setChannelCount(pcm.channels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        format = device.preferredFormat();
    }
    buffer_.setData(PcmConvert::toDevice(pcm, format));
    buffer_.open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(device, format);
    QObject::connect(
        sink_.get(), &QAudioSink::stateChanged, &context_, [this](QAudio::State state) {
            if (!finished_) {
                return;
            }
            if (sink_->error() != QAudio::NoError && sink_->error() != QAudio::UnderrunError) {
                report(false);
            } else if (state == QAudio::IdleState && buffer_.atEnd()) {
                report(true);
            }
        });
    // Set after the connection and before start(): a state the sink reports from inside
    // start() is answered from the event loop like any other.
    finished_ = std::move(finished);
    sink_->start(&buffer_);
    if (sink_->error() != QAudio::NoError || sink_->state() == QAudio::StoppedState) {
        finished_ = nullptr;
        *alive_ = false;
        return false;
    }
    return true;
}

void DevicePlayback::report(bool ok) {
    auto finished = std::exchange(finished_, nullptr);
    // Not with this as the context: the callback may well delete this.
    QTimer::singleShot(0, [alive = alive_, finished = std::move(finished), ok] {
        if (*alive) {
            finished(ok);
        }
    });
}

}  // namespace oa
