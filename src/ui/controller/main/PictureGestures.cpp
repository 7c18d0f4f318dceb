// PictureGestures: fitting, dragging and pinching the attachment viewer's picture.
#include "ui/controller/main/PictureGestures.h"

#include <algorithm>
#include <cmath>

namespace oa {

QRectF PictureGestures::fittedFrame(const QSizeF& picture, const QSizeF& area) {
    if (picture.isEmpty()) {
        return {};
    }
    QSizeF size = picture;
    if (size.width() > area.width() || size.height() > area.height()) {
        size = picture.scaled(area, Qt::KeepAspectRatio);
    }
    return {(area.width() - size.width()) / 2, (area.height() - size.height()) / 2, size.width(),
            size.height()};
}

void PictureGestures::show(const QSizeF& picture, const QSizeF& area) {
    frame_ = fittedFrame(picture, area);
    hasPicture_ = !frame_.isEmpty();
    imgStartWidth_ = frame_.width();
    imgStartHeight_ = frame_.height();
    lastDistance_ = 0;
}

void PictureGestures::touchBegan(const QPointF& point) {
    gestureStartPoint_ = point;
}

bool PictureGestures::oneFingerMoved(const QPointF& point) {
    if (!hasPicture_) {
        return false;
    }
    const QPointF step = point - gestureStartPoint_;
    if (std::abs(step.x()) < kMinDragStep && std::abs(step.y()) < kMinDragStep) {
        return false;
    }
    frame_.translate(step);
    gestureStartPoint_ = point;
    return true;
}

bool PictureGestures::twoFingersMoved(double distance) {
    if (!hasPicture_) {
        return false;
    }
    if (lastDistance_ <= 0) {
        lastDistance_ = distance;
        return false;
    }
    if (distance > lastDistance_ + kPinchSlack) {
        lastDistance_ = distance;
        return pinchStep(true);
    }
    if (distance < lastDistance_ - kPinchSlack) {
        lastDistance_ = distance;
        return pinchStep(false);
    }
    return false;
}

void PictureGestures::touchesEnded() {
    lastDistance_ = 0;
}

bool PictureGestures::pinchStep(bool wider) {
    if (!hasPicture_) {
        return false;
    }
    const double width = frame_.width();
    // A picture shown narrower than the least width (a tiny icon) is not widened by a pinch
    // that narrows.
    return resizeTo(wider ? std::max(width, std::min(width + kPinchStep, kMaxWidth))
                          : std::min(width, std::max(width - kPinchStep, kMinWidth)));
}

bool PictureGestures::resizeTo(double width) {
    if (width == frame_.width()) {
        return false;
    }
    const double height = width * imgStartHeight_ / imgStartWidth_;
    const double grownX = width - frame_.width();
    const double grownY = height - frame_.height();
    frame_ = QRectF(frame_.x() - grownX / 2, frame_.y() - grownY / 2, width, height);
    return true;
}

}  // namespace oa
