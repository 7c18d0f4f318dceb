// PictureGestures: where the attachment viewer shows its picture and how fingers move it. The
// picture first fits the free area without being enlarged and sits in its middle; one finger
// drags it, two fingers widen or narrow it by 10 points a step between 50 and 1000 points wide,
// keeping the shape it was first shown in and its centre. Pure geometry, no widgets.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace oa {

class PictureGestures {
public:
    static constexpr double kPinchStep = 10;
    static constexpr double kMinWidth = 50;
    static constexpr double kMaxWidth = 1000;
    // A change of the finger distance up to this many points is no pinch step.
    static constexpr double kPinchSlack = 2;
    // A one-finger move shorter than this in both directions is ignored.
    static constexpr double kMinDragStep = 1;

    // The picture of `picture` points fitted into `area` (at its own size when it fits, else
    // scaled down keeping its aspect ratio) and centred in it. An empty picture gives an empty
    // frame.
    static QRectF fittedFrame(const QSizeF& picture, const QSizeF& area);

    // Shows a picture of `picture` points in `area`; forgets any gesture under way.
    void show(const QSizeF& picture, const QSizeF& area);
    bool hasPicture() const { return hasPicture_; }
    QRectF frame() const { return frame_; }

    // One finger: where it touched down, and each move after that. Returns whether the picture
    // moved.
    void touchBegan(const QPointF& point);
    bool oneFingerMoved(const QPointF& point);
    // Two fingers `distance` points apart. Returns whether the picture changed size.
    bool twoFingersMoved(double distance);
    // All fingers lifted: the next pinch starts afresh.
    void touchesEnded();

    // One step of a pinch, as the desktop's wheel notch gives it: wider or narrower by 10.
    bool pinchStep(bool wider);

    double lastDistance() const { return lastDistance_; }

private:
    bool resizeTo(double width);

    bool hasPicture_ = false;
    QRectF frame_;
    double imgStartWidth_ = 0;
    double imgStartHeight_ = 0;
    double lastDistance_ = 0;
    QPointF gestureStartPoint_;
};

}  // namespace oa
