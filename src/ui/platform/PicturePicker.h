// PicturePicker: where the editors get a picture: from the camera or from the pictures on disk.
// The screens use PicturePicker::current(): the desktop's picker unless a test or the tour
// installed another (FakePicturePicker).
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace oa {

class PicturePicker {
public:
    // The path of a picture file, or nothing when the user cancelled (or there is no camera).
    using Callback = std::function<void(std::optional<QString> path)>;

    virtual ~PicturePicker();

    // Whether a camera is there to take a photo with.
    virtual bool hasCamera() = 0;
    // Neither blocks the window; `callback` runs exactly once, from the event loop, after the
    // call has returned. `parent` is the window to show over (the active one when null).
    virtual void takePhoto(Callback callback, QWidget* parent = nullptr) = 0;
    virtual void pickFromLibrary(Callback callback, QWidget* parent = nullptr) = 0;

    // The picker the screens use. Main thread only.
    static std::shared_ptr<PicturePicker> current();
    // Installs `picker`; nullptr restores the desktop's.
    static void setCurrent(std::shared_ptr<PicturePicker> picker);
};

}  // namespace oa
