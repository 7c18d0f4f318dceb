// TickButton: the picture of the state, and flipping on a tap that ends on the button.
#include "ui/kit/TickButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/kit/AccessibleKit.h"
#include "ui/kit/Images.h"

namespace oa {

TickButton::TickButton(QString uncheckedImage, QString checkedImage, QWidget* parent)
    : QWidget(parent),
      uncheckedImage_(std::move(uncheckedImage)),
      checkedImage_(std::move(checkedImage)) {
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    resize(kDefaultSize);
}

void TickButton::setChecked(bool checked) {
    if (checked_ == checked) {
        return;
    }
    checked_ = checked;
    update();
    notifyAccessibleChecked(this);
}

void TickButton::flip() {
    checked_ = !checked_;
    update();
    notifyAccessibleChecked(this);
    emit toggled(checked_);
}

void TickButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!isEnabled()) {
        painter.setOpacity(0.4);
    }
    const QPixmap picture = image(checked_ ? checkedImage_ : uncheckedImage_);
    if (!picture.isNull()) {
        // Centred at its own size, or shrunk to fit.
        QSizeF size = picture.deviceIndependentSize();
        size.scale(size.boundedTo(QSizeF(this->size())), Qt::KeepAspectRatio);
        const QRectF box((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(),
                         size.height());
        painter.drawPixmap(box, picture, QRectF(picture.rect()));
        return;
    }
    const qreal side = std::min(width(), height()) - 6.0;
    const QRectF circle((width() - side) / 2, (height() - side) / 2, side, side);
    if (checked_) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 122, 255));
        painter.drawEllipse(circle);
        QPainterPath tick;
        tick.moveTo(circle.left() + side * 0.27, circle.top() + side * 0.52);
        tick.lineTo(circle.left() + side * 0.44, circle.top() + side * 0.68);
        tick.lineTo(circle.left() + side * 0.74, circle.top() + side * 0.34);
        painter.setPen(QPen(Qt::white, side / 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
    } else {
        painter.setPen(QPen(QColor(170, 170, 170), 1.5));
        painter.setBrush(Qt::white);
        painter.drawEllipse(circle);
    }
}

void TickButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressed_ = true;
    event->accept();
}

void TickButton::mouseReleaseEvent(QMouseEvent* event) {
    if (!pressed_ || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressed_ = false;
    event->accept();
    if (rect().contains(event->position().toPoint())) {
        flip();
    }
}

void TickButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        flip();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace oa
