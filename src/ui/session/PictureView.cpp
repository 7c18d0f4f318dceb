// PictureView: painting and taps.
#include "ui/session/PictureView.h"

#include <QMouseEvent>
#include <QPainter>

namespace oa {

PictureView::PictureView(const QPixmap& picture, Mode mode, QWidget* parent)
    : QWidget(parent), picture_(picture), mode_(mode) {}

void PictureView::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureView::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (mode_ == Mode::Tile) {
        painter.drawTiledPixmap(rect(), picture_);
    } else {
        painter.drawPixmap(rect(), picture_);
    }
}

void PictureView::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void PictureView::mouseReleaseEvent(QMouseEvent* event) {
    const bool tap = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (tap) {
        emit tapped();
    }
}

}  // namespace oa
