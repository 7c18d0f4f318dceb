// Where the screens get their recorder and player: the Qt Multimedia ones unless the command
// line (--voice-input) or a test installed others. Making one touches no audio device.
#pragma once

#include <QObject>
#include <functional>

#include "ui/platform/AudioPlayer.h"
#include "ui/platform/AudioRecorder.h"

namespace oa {

class AudioStack {
public:
    using RecorderFactory = std::function<AudioRecorder*(QObject* parent)>;
    using PlayerFactory = std::function<AudioPlayer*(QObject* parent)>;

    // A new recorder (player) owned by `parent`. Main thread only.
    static AudioRecorder* makeRecorder(QObject* parent);
    static AudioPlayer* makePlayer(QObject* parent);

    // Whether an audio device has been asked for (the Qt recorder or player has started once);
    // the audio stack of Qt Multimedia runs from then on. The Qt implementations mark it.
    static bool hasStarted();
    static void markStarted();

    // An empty factory restores the Qt Multimedia one.
    static void setRecorderFactory(RecorderFactory factory);
    static void setPlayerFactory(PlayerFactory factory);
};

}  // namespace oa
