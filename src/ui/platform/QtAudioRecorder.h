// AudioRecorder on Qt Multimedia: the default input device through QAudioSource, 8000 Hz mono
// 16-bit when the device takes it, otherwise its preferred format converted at the end.
#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QPointer>
#include <memory>

#include "ui/platform/AudioRecorder.h"

class QAudioSource;
class QIODevice;

namespace oa {

class QtAudioRecorder : public AudioRecorder {
    Q_OBJECT

public:
    // Touches no audio device: the audio stack starts with the first start().
    explicit QtAudioRecorder(QObject* parent = nullptr);
    ~QtAudioRecorder() override;

    QString start(const QString& path) override;
    void stop() override;
    bool isRecording() const override { return source_ != nullptr; }

private:
    void drain();
    void release();

    std::unique_ptr<QAudioSource> source_;
    QPointer<QIODevice> io_;
    QAudioFormat format_;
    QByteArray raw_;
    QString path_;
    bool deviceFailed_ = false;
};

}  // namespace oa
