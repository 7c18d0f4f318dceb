// The audio player port: plays a WAV file (as VoiceConverter::amrToWav writes them).
// Production: QtAudioPlayer; tests: ManualAudioPlayer.
#pragma once

#include <QObject>
#include <QString>

namespace oa {

class AudioPlayer : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Plays the file, replacing what played before (which then emits nothing more). Exactly
    // one `finished` follows, never from inside this call: ok false for an unreadable file,
    // no output device or a device error.
    virtual void play(const QString& path) = 0;
    // Ends the playback without `finished`.
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;

signals:
    void finished(bool ok);
};

}  // namespace oa
