// MyView: taps and the pressed look of a grid cell.
#include "ui/controller/main/MyView.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include "ui/kit/AccessibleKit.h"

namespace oa {

MyView::MyView(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    // Reads its title, then its badge's count.
    setAccessibleRole(this, QAccessible::Button);
}

void MyView::focusInEvent(QFocusEvent* event) {
    // A ring only for focus that came from the keyboard, not for whatever the window hands on.
    keyboardFocus_ =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QWidget::focusInEvent(event);
    update();
}

void MyView::focusOutEvent(QFocusEvent* event) {
    keyboardFocus_ = false;
    QWidget::focusOutEvent(event);
    update();
}

void MyView::paintEvent(QPaintEvent*) {
    if (!pressed_ && !keyboardFocus_) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(keyboardFocus_ ? QPen(QColor(0x8f, 0xd0, 0xff), 1.5) : Qt::NoPen);
    painter.setBrush(pressed_ ? QColor(255, 255, 255, 50) : Qt::transparent);
    painter.drawRoundedRect(QRectF(rect()).adjusted(2, -2, -2, -2), 10, 10);
}

void MyView::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    update();
    event->accept();
}

void MyView::mouseReleaseEvent(QMouseEvent* event) {
    const bool tap = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    update();
    event->accept();
    if (tap) {
        emit tapped();
    }
}

void MyView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        emit tapped();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace oa
