// CustomAnimating: the endless three-picture animations of voice messages, one second per
// round: tag 0 "recording_1..3" (the microphone while recording), tag 1 "voiceplay_b1..3" (one's
// own message playing), tag 2 "voiceplay_a1..3" (the partner's message playing).
#pragma once

#include <QLabel>
#include <QStringList>

#include "core/platform/MainLoop.h"

namespace oa {

class CustomAnimating : public QLabel {
    Q_OBJECT

public:
    enum Kind { Recording = 0, PlayingMine = 1, PlayingPartners = 2 };
    static constexpr Duration kRound{1000};

    // Shows the kind's last picture, not animating. An unknown tag is taken as Recording.
    explicit CustomAnimating(int tag, QWidget* parent = nullptr);
    ~CustomAnimating() override;

    // The picture names of a kind, in the order shown.
    static QStringList frameNames(int tag);

    // The recording animation, started, centred across `view` with its top 240 points above
    // the view's bottom edge. Owned by `view`.
    static CustomAnimating* showRecordAnimatingAtView(QWidget* view);
    static constexpr int kRecordOffset = 240;

    void startAnimating();
    // Stops on the kind's last picture.
    void stopAnimating();
    bool isAnimating() const { return timer_.isValid() && !timer_.isCancelled(); }
    QString currentFrameName() const { return frames_.value(frame_); }
    int animationTag() const { return tag_; }

private:
    void showFrame(int index);

    int tag_;
    QStringList frames_;
    int frame_ = 0;
    TimerHandle timer_;
};

}  // namespace oa
