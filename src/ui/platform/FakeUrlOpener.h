// FakeUrlOpener: the opener of tests and the tour. It records every address and answers as
// configured, from the event loop like the desktop's; held answers wait until answerHeld().
// Nothing is ever handed to the desktop.
#pragma once

#include <QList>
#include <QUrl>
#include <vector>

#include "ui/platform/UrlOpener.h"

namespace oa {

class FakeUrlOpener : public UrlOpener {
public:
    explicit FakeUrlOpener(bool answer = true) : answer_(answer) {}

    void open(const QUrl& url, Callback callback) override;

    // The answer to later calls.
    void setAnswer(bool opened) { answer_ = opened; }
    // While held, calls wait for answerHeld() instead of being answered by themselves.
    void setHeld(bool held) { held_ = held; }
    // Answers every waiting call with `opened`, in order; returns how many there were.
    int answerHeld(bool opened);

    QList<QUrl> opened() const { return urls_; }
    int waiting() const { return int(heldCalls_.size()); }

private:
    bool answer_;
    bool held_ = false;
    QList<QUrl> urls_;
    std::vector<Callback> heldCalls_;
};

}  // namespace oa
