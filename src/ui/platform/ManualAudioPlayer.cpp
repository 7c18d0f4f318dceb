// Playback that only the test ends.
#include "ui/platform/ManualAudioPlayer.h"

namespace oa {

void ManualAudioPlayer::play(const QString& path) {
    played_ << path;
    playing_ = true;
}

void ManualAudioPlayer::finish(bool ok) {
    if (playing_) {
        playing_ = false;
        emit finished(ok);
    }
}

}  // namespace oa
