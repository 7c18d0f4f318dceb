// AudioPlayer on the default output device, through the multimedia module (loaded with the
// first play): the whole WAV file, converted to the device's preferred format when it does not
// take the file's own.
#pragma once

#include <QTimer>
#include <memory>

#include "ui/platform/AudioPlayer.h"

namespace oa {

class AudioPlayback;

class QtAudioPlayer : public AudioPlayer {
    Q_OBJECT

public:
    // Touches no audio device: the audio stack starts with the first play().
    explicit QtAudioPlayer(QObject* parent = nullptr);
    ~QtAudioPlayer() override;

    // Without the multimedia module every playback fails, from the event loop.
    void play(const QString& path) override;
    void stop() override;
    bool isPlaying() const override { return playing_; }

private:
    void finish(bool ok);
    // Reports a failure from the event loop: play() never emits from inside.
    void failLater();
    void release();

    std::unique_ptr<AudioPlayback> playback_;
    QTimer watchdog_;
    bool playing_ = false;
    unsigned generation_ = 0;
};

}  // namespace oa
