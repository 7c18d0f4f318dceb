// An AudioPlayer for tests: remembers what it was asked to play and finishes when told.
#pragma once

#include <QStringList>

#include "ui/platform/AudioPlayer.h"

namespace oa {

class ManualAudioPlayer : public AudioPlayer {
    Q_OBJECT

public:
    using AudioPlayer::AudioPlayer;

    void play(const QString& path) override;
    void stop() override { playing_ = false; }
    bool isPlaying() const override { return playing_; }

    // Ends the running playback with `ok`; nothing when none runs.
    void finish(bool ok);
    const QStringList& played() const { return played_; }

private:
    QStringList played_;
    bool playing_ = false;
};

}  // namespace oa
