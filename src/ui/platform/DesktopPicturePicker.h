// DesktopPicturePicker: pictures on disk through a file dialog titled "相册" that lists pictures
// only; photos through the multimedia module's capture screen where a camera exists. The module
// is first loaded by hasCamera() or takePhoto(), never by making the picker or by the file
// dialog, so that nothing of Qt Multimedia runs before the user asks for a photo. Without the
// module there is no camera.
#pragma once

#include "ui/platform/PicturePicker.h"

namespace oa {

class DesktopPicturePicker : public PicturePicker {
public:
    DesktopPicturePicker();

    bool hasCamera() override;
    // Without a camera it answers nothing. A photo is written as a PNG file in the home's
    // temporary folder; the caller owns the file.
    void takePhoto(Callback callback, QWidget* parent = nullptr) override;
    // Only a file that reads as a picture is handed back; anything else counts as a cancel,
    // after saying notAPictureText().
    void pickFromLibrary(Callback callback, QWidget* parent = nullptr) override;

    // The file dialog's title and filter.
    static QString libraryTitle();
    static QString libraryFilter();
    static QString notAPictureText();
};

}  // namespace oa
