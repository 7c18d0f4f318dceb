// Recording and playback on the default audio devices through QAudioSource and QAudioSink.
#pragma once

#include <QAudioDevice>
#include <QAudioFormat>
#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <memory>

#include "ui/platform/MultimediaBackend.h"

class QAudioSink;
class QAudioSource;
class QIODevice;

namespace oa {

// Pull mode: the source's buffer is read as it fills and once more at finish().
class DeviceCapture final : public AudioCapture {
public:
    DeviceCapture();
    ~DeviceCapture() override;
    // False when the device does not open.
    bool start(const QAudioDevice& device);
    CapturedVoice finish() override;

private:
    void drain();
    void release();

    QObject context_;  // receives the source's signals; declared first, destroyed last
    std::unique_ptr<QAudioSource> source_;
    QPointer<QIODevice> io_;
    QAudioFormat format_;
    QByteArray raw_;
    bool deviceFailed_ = false;
};

// Push from a buffer holding the whole sound; the sink going idle at the buffer's end means it
// has been played.
class DevicePlayback final : public AudioPlayback {
public:
    DevicePlayback();
    ~DevicePlayback() override;
    // False when the device does not open; `finished` is never called then.
    bool start(const QAudioDevice& device, const Pcm16& pcm, std::function<void(bool)> finished);

private:
    // Calls `finished_` once, from the event loop, unless this is deleted before.
    void report(bool ok);

    QObject context_;
    std::unique_ptr<QAudioSink> sink_;
    QBuffer buffer_;
    std::function<void(bool)> finished_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace oa
