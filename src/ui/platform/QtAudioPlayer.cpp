// The playback itself runs in the multimedia module; this reads the file, watches for a stalled
// device and keeps the port's promises (one answer, never from inside play()).
#include "ui/platform/QtAudioPlayer.h"

#include "core/platform/Log.h"
#include "ui/platform/AudioStack.h"
#include "ui/platform/Multimedia.h"
#include "ui/platform/MultimediaBackend.h"
#include "ui/platform/WavFile.h"

namespace oa {

namespace {

// A device that neither plays nor fails (a suspended or vanished one) ends the playback as
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
    MultimediaBackend* backend = multimediaBackend();
    if (!backend) {
        log("audio: no multimedia module, nothing can be played");
        failLater();
        return;
    }
    if (!backend->hasAudioOutput()) {
        log("audio: no output device");
        failLater();
        return;
    }
    const unsigned generation = generation_;
    playback_ = backend->startPlayback(*pcm, [this, generation](bool ok) {
        if (generation == generation_) {
            finish(ok);
        }
    });
    if (!playback_) {
        log("audio: the output device does not open");
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
    playback_.reset();
}

}  // namespace oa
