// FakePicturePicker: queued answers handed out from the event loop.
#include "ui/platform/FakePicturePicker.h"

#include <QTimer>

namespace oa {

namespace {
void answerLater(PicturePicker::Callback callback, std::optional<QString> path) {
    QTimer::singleShot(0, [callback = std::move(callback), path = std::move(path)] {
        if (callback) {
            callback(path);
        }
    });
}

std::optional<QString> next(std::deque<std::optional<QString>>& queue) {
    if (queue.empty()) {
        return std::nullopt;
    }
    std::optional<QString> path = std::move(queue.front());
    queue.pop_front();
    return path;
}
}  // namespace

void FakePicturePicker::takePhoto(Callback callback, QWidget*) {
    ++photoRequests_;
    answerLater(std::move(callback), camera_ ? next(photos_) : std::nullopt);
}

void FakePicturePicker::pickFromLibrary(Callback callback, QWidget*) {
    ++libraryRequests_;
    answerLater(std::move(callback), next(picks_));
}

}  // namespace oa
