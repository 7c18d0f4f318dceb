// MyImageView: drawing the item's picture and taking taps.
#include "ui/controller/main/MyImageView.h"

#include <QMouseEvent>
#include <QPainter>

namespace oa {

MyImageView::MyImageView(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
}

void MyImageView::setNormal_img(const QPixmap& picture) {
    normal_img_ = picture;
    update();
}

void MyImageView::setLight_img(const QPixmap& picture) {
    light_img_ = picture;
    update();
}

void MyImageView::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    update();
}

void MyImageView::paintEvent(QPaintEvent*) {
    const QPixmap shown = image();
    if (shown.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), shown);
}

void MyImageView::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void MyImageView::mouseReleaseEvent(QMouseEvent* event) {
    const bool tap = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (tap) {
        emit tapped();
    }
}

}  // namespace oa
