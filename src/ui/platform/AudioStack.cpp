// The factories in use; the Qt recorder and player load the multimedia module only with the
// first recording or playback.
#include "ui/platform/AudioStack.h"

#include <atomic>

#include "ui/platform/QtAudioPlayer.h"
#include "ui/platform/QtAudioRecorder.h"

namespace oa {

namespace {

AudioStack::RecorderFactory& recorderFactory() {
    static AudioStack::RecorderFactory factory;
    return factory;
}

AudioStack::PlayerFactory& playerFactory() {
    static AudioStack::PlayerFactory factory;
    return factory;
}

std::atomic<bool> started{false};

}  // namespace

bool AudioStack::hasStarted() {
    return started;
}

void AudioStack::markStarted() {
    started = true;
}

AudioRecorder* AudioStack::makeRecorder(QObject* parent) {
    if (recorderFactory()) {
        return recorderFactory()(parent);
    }
    return new QtAudioRecorder(parent);
}

AudioPlayer* AudioStack::makePlayer(QObject* parent) {
    if (playerFactory()) {
        return playerFactory()(parent);
    }
    return new QtAudioPlayer(parent);
}

void AudioStack::setRecorderFactory(RecorderFactory factory) {
    recorderFactory() = std::move(factory);
}

void AudioStack::setPlayerFactory(PlayerFactory factory) {
    playerFactory() = std::move(factory);
}

}  // namespace oa
