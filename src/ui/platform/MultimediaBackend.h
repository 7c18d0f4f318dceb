// The seam between the client and the multimedia module. Qt Multimedia brings a dozen audio
// libraries with it, so the client does not link it: the module (oa_multimedia.so) is loaded
// with the first recording, playback or camera question and hands out a MultimediaBackend.
// Only these abstract classes, Qt's value types, Pcm16 and standard types cross the seam, so
// the module needs nothing of the client's code and the client nothing of Qt Multimedia.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ui/platform/WavFile.h"

class QWidget;

namespace oa {

// The version of these classes; the module refuses a client built against another.
inline constexpr int kMultimediaBackendVersion = 1;
// The module's one exported function, `void* oa_multimedia_backend(int version)`, returns its
// MultimediaBackend* (see ClientModule.h).
inline constexpr const char* kMultimediaBackendEntry = "oa_multimedia_backend";

// What a recording gave: 8000 Hz mono 16-bit samples, and whether the device failed on the way
// (then the samples are no recording).
struct CapturedVoice {
    std::vector<std::int16_t> samples;
    bool deviceFailed = false;
};

// A running recording from the default input. Deleting it stops the device and drops the
// samples. Main thread.
class AudioCapture {
public:
    virtual ~AudioCapture() = default;
    // Stops the device and hands back everything it recorded, converted to the voice format.
    virtual CapturedVoice finish() = 0;
};

// A running playback on the default output. Deleting it stops the device; its callback never
// runs after that. Main thread.
class AudioPlayback {
public:
    virtual ~AudioPlayback() = default;
};

class MultimediaBackend {
public:
    virtual ~MultimediaBackend() = default;

    // Whether there is a default audio input (output). Starts the audio stack.
    virtual bool hasAudioInput() = 0;
    virtual bool hasAudioOutput() = 0;

    // Starts recording the default input, at 8000 Hz mono 16-bit when the device takes it,
    // otherwise in its own format converted by finish(). Null when there is no input or it does
    // not open.
    virtual std::unique_ptr<AudioCapture> startCapture() = 0;

    // Starts playing `pcm` on the default output, converted to a format the device takes. Null
    // when there is no output or it does not open. Otherwise `finished` runs once from the
    // event loop: true when everything was played, false on a device error.
    virtual std::unique_ptr<AudioPlayback> startPlayback(const Pcm16& pcm,
                                                         std::function<void(bool ok)> finished) = 0;

    // Whether a camera is there.
    virtual bool hasCamera() = 0;
    // Shows the camera screen over `parent` (live picture, "拍照", "取消"). A photo is written as
    // a PNG file in `folder` (made when missing). `done` runs once, from the event loop, with
    // the file's path, or nothing on a cancel, a closed screen or a camera error.
    virtual void takePhoto(QWidget* parent, const QString& folder,
                           std::function<void(std::optional<QString> path)> done) = 0;
};

}  // namespace oa
