// AttachmentStage: the picture page and the gestures that reach it.
#include "ui/controller/main/AttachmentStage.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTouchEvent>
#include <QWheelEvent>
#include <cmath>

#include "ui/kit/ColorFromHexRGB.h"

namespace oa {

AttachmentStage::AttachmentStage(QWidget* parent) : QWidget(parent), imageView_(new QLabel(this)) {
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colorFromHexRGB(u"EDEDED"));
    setPalette(palette);
    setAttribute(Qt::WA_AcceptTouchEvents);
    imageView_->setScaledContents(true);
    imageView_->setAttribute(Qt::WA_TransparentForMouseEvents);
    imageView_->hide();
}

void AttachmentStage::showPicture(const QImage& picture, QSizeF points) {
    if (points.isEmpty()) {
        points = QSizeF(picture.size());
    }
    imageView_->setPixmap(QPixmap::fromImage(picture));
    gestures_.show(points, QSizeF(size()));
    imageView_->setVisible(gestures_.hasPicture());
    place();
}

void AttachmentStage::place() {
    const QRectF frame = gestures_.frame();
    imageView_->setGeometry(static_cast<int>(std::lround(frame.x())),
                            static_cast<int>(std::lround(frame.y())),
                            static_cast<int>(std::lround(frame.width())),
                            static_cast<int>(std::lround(frame.height())));
}

bool AttachmentStage::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel: {
            auto* touch = static_cast<QTouchEvent*>(event);
            const auto& points = touch->points();
            if (event->type() == QEvent::TouchEnd || event->type() == QEvent::TouchCancel) {
                gestures_.touchesEnded();
            } else if (points.size() == 1) {
                if (points.first().state() == QEventPoint::Pressed) {
                    gestures_.touchBegan(points.first().position());
                } else if (gestures_.oneFingerMoved(points.first().position())) {
                    place();
                }
            } else if (points.size() >= 2) {
                const QPointF d = points.at(0).position() - points.at(1).position();
                if (gestures_.twoFingersMoved(std::hypot(d.x(), d.y()))) {
                    place();
                }
            }
            event->accept();
            return true;
        }
        default:
            return QWidget::event(event);
    }
}

void AttachmentStage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        gestures_.touchBegan(event->position());
    }
}

void AttachmentStage::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) && gestures_.oneFingerMoved(event->position())) {
        place();
    }
}

void AttachmentStage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        gestures_.touchesEnded();
    }
}

void AttachmentStage::wheelEvent(QWheelEvent* event) {
    // A notch is 120 eighths of a degree; a touchpad sends smaller parts that add up to it.
    wheelDelta_ += event->angleDelta().y();
    bool changed = false;
    while (std::abs(wheelDelta_) >= QWheelEvent::DefaultDeltasPerStep) {
        const bool wider = wheelDelta_ > 0;
        wheelDelta_ +=
            wider ? -QWheelEvent::DefaultDeltasPerStep : QWheelEvent::DefaultDeltasPerStep;
        changed = gestures_.pinchStep(wider) || changed;
    }
    if (changed) {
        place();
    }
    event->accept();
}

}  // namespace oa
