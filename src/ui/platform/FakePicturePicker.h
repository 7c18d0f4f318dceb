// FakePicturePicker: the picker of tests and the tour. Answers come from queues, in order, from
// the event loop like the desktop's; an empty queue answers nothing, as a cancel does. Without
// a camera a photo answers nothing and leaves the queue alone.
#pragma once

#include <QString>
#include <deque>

#include "ui/platform/PicturePicker.h"

namespace oa {

class FakePicturePicker : public PicturePicker {
public:
    explicit FakePicturePicker(bool camera = false) : camera_(camera) {}

    void setHasCamera(bool camera) { camera_ = camera; }
    void queuePhoto(std::optional<QString> path) { photos_.push_back(std::move(path)); }
    void queueLibraryPick(std::optional<QString> path) { picks_.push_back(std::move(path)); }

    // How many times each was asked for.
    int photoRequests() const { return photoRequests_; }
    int libraryRequests() const { return libraryRequests_; }

    bool hasCamera() override { return camera_; }
    void takePhoto(Callback callback, QWidget* parent = nullptr) override;
    void pickFromLibrary(Callback callback, QWidget* parent = nullptr) override;

private:
    bool camera_;
    std::deque<std::optional<QString>> photos_;
    std::deque<std::optional<QString>> picks_;
    int photoRequests_ = 0;
    int libraryRequests_ = 0;
};

}  // namespace oa
