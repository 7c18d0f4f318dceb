// AttachmentStage: the attachment viewer's picture page, a plain background holding the picture,
// which fingers drag and pinch (PictureGestures). On a desktop the left mouse button drags and
// each wheel notch is one pinch step.
#pragma once

#include <QImage>
#include <QWidget>

#include "ui/controller/main/PictureGestures.h"

class QLabel;

namespace oa {

class AttachmentStage : public QWidget {
    Q_OBJECT
public:
    explicit AttachmentStage(QWidget* parent = nullptr);

    // Shows `picture` as a picture of `points` (its own size, when it was decoded smaller; by
    // default its pixels) fitted into the stage's present size, centred.
    void showPicture(const QImage& picture, QSizeF points = {});

    // The picture's widget (the image view); hidden until a picture is shown.
    QLabel* imageView() const { return imageView_; }
    const PictureGestures& gestures() const { return gestures_; }

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void place();

    QLabel* imageView_;
    PictureGestures gestures_;
    int wheelDelta_ = 0;
};

}  // namespace oa
