// FakePicturePicker: queued answers handed out from the event loop.
#include "ui/platform/FakePicturePicker.h"

#include <QTimer>

namespace oa {

namespace {
// A flag and a plain string rather than a std::optional<QString> moved around: GCC's -O3 flow
// analysis misreads a moved one as uninitialised.
void answerLater(PicturePicker::Callback callback, bool answered, QString value) {
    QTimer::singleShot(0, [callback = std::move(callback), answered, value = std::move(value)] {
        if (callback) {
            callback(answered ? std::optional<QString>(value) : std::nullopt);
        }
    });
}

// Whether the queue holds an answer that is a path; the path goes to `value`.
bool next(std::deque<std::optional<QString>>& queue, QString& value) {
    if (queue.empty()) {
        return false;
    }
    const bool answered = queue.front().has_value();
    value = queue.front().value_or(QString());
    queue.pop_front();
    return answered;
}
}  // namespace

void FakePicturePicker::takePhoto(Callback callback, QWidget*) {
    ++photoRequests_;
    QString path;
    const bool answered = camera_ && next(photos_, path);
    answerLater(std::move(callback), answered, std::move(path));
}

void FakePicturePicker::pickFromLibrary(Callback callback, QWidget*) {
    ++libraryRequests_;
    QString path;
    const bool answered = next(picks_, path);
    answerLater(std::move(callback), answered, std::move(path));
}

}  // namespace oa
