// An AudioRecorder without a device: "records" the samples of a given WAV file for as long as
// it is held (from the start again when held longer than the file). For tests and for
// oa-client --voice-input on machines without a microphone. It can also act out the failures
// of a real device.
#pragma once

#include <chrono>
#include <functional>

#include "ui/platform/AudioRecorder.h"
#include "ui/platform/WavFile.h"

namespace oa {

class WavFileAudioRecorder : public AudioRecorder {
    Q_OBJECT

public:
    using Clock = std::function<std::chrono::milliseconds()>;
    enum class Failure {
        None,
        NoDevice,     // start() fails with "没有可用的麦克风"
        DeviceError,  // the recording ends with ok false, its samples written all the same
    };

    // `source` is resampled to 8000 Hz mono. `clock` measures the time held (the steady clock
    // by default; a test's virtual clock).
    explicit WavFileAudioRecorder(const Pcm16& source, Clock clock = {}, QObject* parent = nullptr);
    // The file's samples; a file that cannot be read records silence-free nothing (no samples).
    static WavFileAudioRecorder* fromFile(const QString& wavPath, QObject* parent = nullptr);

    void setFailure(Failure failure) { failure_ = failure; }

    QString start(const QString& path) override;
    void stop() override;
    bool isRecording() const override { return recording_; }

private:
    std::vector<std::int16_t> samples_;
    Clock clock_;
    Failure failure_ = Failure::None;
    QString path_;
    std::chrono::milliseconds startedAt_{0};
    bool recording_ = false;
};

}  // namespace oa
