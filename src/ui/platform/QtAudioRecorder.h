// AudioRecorder on the default input device, through the multimedia module (loaded with the
// first start): 8000 Hz mono 16-bit when the device takes it, otherwise its own format
// converted at the end.
#pragma once

#include <QString>
#include <memory>

#include "ui/platform/AudioRecorder.h"

namespace oa {

class AudioCapture;

class QtAudioRecorder : public AudioRecorder {
    Q_OBJECT

public:
    // Touches no audio device: the audio stack starts with the first start().
    explicit QtAudioRecorder(QObject* parent = nullptr);
    ~QtAudioRecorder() override;

    // Besides the port's answers: "音频组件无法加载" when the multimedia module is missing.
    QString start(const QString& path) override;
    void stop() override;
    bool isRecording() const override { return capture_ != nullptr; }

private:
    std::unique_ptr<AudioCapture> capture_;
    QString path_;
};

}  // namespace oa
