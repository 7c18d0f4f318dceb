// The held time in milliseconds decides how many samples the recording gets.
#include "ui/platform/WavFileAudioRecorder.h"

#include "core/platform/Log.h"
#include "core/voice/VoicePcm.h"

namespace oa {

WavFileAudioRecorder::WavFileAudioRecorder(const Pcm16& source, Clock clock, QObject* parent)
    : AudioRecorder(parent), clock_(std::move(clock)) {
    Pcm16 mono{source.sampleRate, 1, {}};
    const int channels = std::max(source.channels, 1);
    mono.samples.resize(source.samples.size() / static_cast<std::size_t>(channels));
    for (std::size_t f = 0; f < mono.samples.size(); ++f) {
        mono.samples[f] = source.samples[f * static_cast<std::size_t>(channels)];
    }
    samples_ = VoicePcm::resample(mono.samples, source.sampleRate, VoicePcm::kRate);
    if (!clock_) {
        clock_ = [] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now().time_since_epoch());
        };
    }
}

WavFileAudioRecorder* WavFileAudioRecorder::fromFile(const QString& wavPath, QObject* parent) {
    const auto pcm = WavFile::read(wavPath);
    if (!pcm) {
        log("voice input: not a 16-bit PCM WAV file: " + wavPath.toStdString());
    }
    return new WavFileAudioRecorder(pcm.value_or(Pcm16{}), {}, parent);
}

QString WavFileAudioRecorder::start(const QString& path) {
    if (recording_) {
        return QStringLiteral("录音失败");
    }
    if (failure_ == Failure::NoDevice) {
        return QStringLiteral("没有可用的麦克风");
    }
    path_ = path;
    startedAt_ = clock_();
    recording_ = true;
    return {};
}

void WavFileAudioRecorder::stop() {
    if (!recording_) {
        return;
    }
    recording_ = false;
    const auto held = std::max<std::int64_t>((clock_() - startedAt_).count(), 0);
    Pcm16 recording{VoicePcm::kRate, 1, {}};
    if (!samples_.empty()) {
        recording.samples.resize(static_cast<std::size_t>(held * VoicePcm::kRate / 1000));
        for (std::size_t i = 0; i < recording.samples.size(); ++i) {
            recording.samples[i] = samples_[i % samples_.size()];
        }
    }
    if (!WavFile::write(path_, recording)) {
        emit finished(false, 0);
        return;
    }
    // A device that fails part way leaves what it had written: the flag, not the file, says
    // whether it is a recording.
    emit finished(failure_ != Failure::DeviceError, static_cast<qint64>(recording.samples.size()));
}

}  // namespace oa
