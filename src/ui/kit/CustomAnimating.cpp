// The frames change on a repeating main-loop timer, a third of a round each.
#include "ui/kit/CustomAnimating.h"

#include <QPointer>

#include "ui/kit/Images.h"

namespace oa {

CustomAnimating::CustomAnimating(int tag, QWidget* parent)
    : QLabel(parent),
      tag_(tag == PlayingMine || tag == PlayingPartners ? tag : Recording),
      frames_(frameNames(tag_)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    showFrame(static_cast<int>(frames_.size()) - 1);
    adjustSize();
}

CustomAnimating::~CustomAnimating() {
    timer_.cancel();
}

QStringList CustomAnimating::frameNames(int tag) {
    switch (tag) {
        case PlayingMine:
            return {"voiceplay_b1", "voiceplay_b2", "voiceplay_b3"};
        case PlayingPartners:
            return {"voiceplay_a1", "voiceplay_a2", "voiceplay_a3"};
        default:
            return {"recording_1", "recording_2", "recording_3"};
    }
}

CustomAnimating* CustomAnimating::showRecordAnimatingAtView(QWidget* view) {
    auto* animating = new CustomAnimating(Recording, view);
    animating->move((view->width() - animating->width()) / 2, view->height() - kRecordOffset);
    animating->show();
    animating->raise();
    animating->startAnimating();
    return animating;
}

void CustomAnimating::startAnimating() {
    timer_.cancel();
    showFrame(0);
    QPointer<CustomAnimating> self(this);
    const Duration step{kRound.count() / frames_.size()};
    timer_ = MainLoop::main().schedule(
        step,
        [self] {
            if (self) {
                self->showFrame((self->frame_ + 1) % static_cast<int>(self->frames_.size()));
            }
        },
        true);
}

void CustomAnimating::stopAnimating() {
    timer_.cancel();
    showFrame(static_cast<int>(frames_.size()) - 1);
}

void CustomAnimating::showFrame(int index) {
    frame_ = index;
    setPixmap(image(frames_.value(index)));
}

}  // namespace oa
