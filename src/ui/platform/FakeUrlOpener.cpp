// FakeUrlOpener: recording, answering later, holding.
#include "ui/platform/FakeUrlOpener.h"

#include <QTimer>

namespace oa {

void FakeUrlOpener::open(const QUrl& url, Callback callback) {
    urls_.append(url);
    if (held_) {
        heldCalls_.push_back(std::move(callback));
        return;
    }
    QTimer::singleShot(0, [callback = std::move(callback), opened = answer_] {
        if (callback) {
            callback(opened);
        }
    });
}

int FakeUrlOpener::answerHeld(bool opened) {
    std::vector<Callback> calls;
    calls.swap(heldCalls_);
    for (Callback& callback : calls) {
        if (callback) {
            callback(opened);
        }
    }
    return int(calls.size());
}

}  // namespace oa
