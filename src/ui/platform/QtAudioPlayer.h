// AudioPlayer on Qt Multimedia: the whole WAV file through a QAudioSink on the default output
// device, converted to the device's preferred format when it does not take the file's own.
#pragma once

#include <QBuffer>
#include <QTimer>
#include <memory>

#include "ui/platform/AudioPlayer.h"

class QAudioSink;

namespace oa {

class QtAudioPlayer : public AudioPlayer {
    Q_OBJECT

public:
    // Touches no audio device: the audio stack starts with the first play().
    explicit QtAudioPlayer(QObject* parent = nullptr);
    ~QtAudioPlayer() override;

    void play(const QString& path) override;
    void stop() override;
    bool isPlaying() const override { return playing_; }

private:
    void finish(bool ok);
    // Reports a failure from the event loop: play() never emits from inside.
    void failLater();
    void release();

    std::unique_ptr<QAudioSink> sink_;
    QBuffer buffer_;
    QTimer watchdog_;
    bool playing_ = false;
    unsigned generation_ = 0;
};

}  // namespace oa
