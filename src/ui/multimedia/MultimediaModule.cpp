// The multimedia module's backend: the default audio devices and the camera. Exports only the
// entry function; everything else is hidden inside the module.
#include <QAudioDevice>
#include <QCameraDevice>
#include <QMediaDevices>

#include "ui/multimedia/AudioDevices.h"
#include "ui/multimedia/CameraScreen.h"
#include "ui/platform/MultimediaBackend.h"

namespace oa {

namespace {

class DeviceBackend final : public MultimediaBackend {
public:
    bool hasAudioInput() override { return !QMediaDevices::defaultAudioInput().isNull(); }
    bool hasAudioOutput() override { return !QMediaDevices::defaultAudioOutput().isNull(); }

    std::unique_ptr<AudioCapture> startCapture() override {
        const QAudioDevice device = QMediaDevices::defaultAudioInput();
        if (device.isNull()) {
            return nullptr;
        }
        auto capture = std::make_unique<DeviceCapture>();
        if (!capture->start(device)) {
            return nullptr;
        }
        return capture;
    }

    std::unique_ptr<AudioPlayback> startPlayback(const Pcm16& pcm,
                                                 std::function<void(bool ok)> finished) override {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull() || pcm.samples.empty() || pcm.sampleRate < 1 || pcm.channels < 1) {
            return nullptr;
        }
        auto playback = std::make_unique<DevicePlayback>();
        if (!playback->start(device, pcm, std::move(finished))) {
            return nullptr;
        }
        return playback;
    }

    bool hasCamera() override { return !QMediaDevices::videoInputs().isEmpty(); }

    void takePhoto(QWidget* parent, const QString& folder,
                   std::function<void(std::optional<QString> path)> done) override {
        openCameraScreen(parent, folder, std::move(done));
    }
};

}  // namespace

}  // namespace oa

// The module's entry: the backend as a MultimediaBackend*, or null for another version.
extern "C" Q_DECL_EXPORT void* oa_multimedia_backend(int version) {
    if (version != oa::kMultimediaBackendVersion) {
        return nullptr;
    }
    static oa::MultimediaBackend* backend = new oa::DeviceBackend;  // lives with the process
    return backend;
}
