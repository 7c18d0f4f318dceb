// Where the screens get their recorder and player: the Qt ones (on the multimedia module) unless
// the command line (--voice-input) or a test installed others. Making one touches no audio
// device and loads no module.
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
    // the multimedia module is loaded and its audio stack runs from then on. The Qt
    // implementations mark it.
    static bool hasStarted();
    static void markStarted();

    // An empty factory restores the Qt one.
    static void setRecorderFactory(RecorderFactory factory);
    static void setPlayerFactory(PlayerFactory factory);
};

}  // namespace oa
