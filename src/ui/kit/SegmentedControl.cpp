// SegmentedControl: segments of equal width, the selected one pressed in, chosen by a click
// released on the segment pressed or by the arrow keys.
#include "ui/kit/SegmentedControl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/kit/Fonts.h"

namespace oa {

SegmentedControl::SegmentedControl(const QStringList& titles, QWidget* parent)
    : QWidget(parent), titles_(titles) {
    setFocusPolicy(Qt::TabFocus);
    resize(sizeHint());
}

void SegmentedControl::insertSegmentWithTitle(const QString& title, int index) {
    if (index < 0 || index > numberOfSegments()) {
        index = numberOfSegments();
    }
    titles_.insert(index, title);
    if (selected_ >= index) {
        ++selected_;  // the selection stays on its segment
    }
    update();
}

void SegmentedControl::removeAllSegments() {
    titles_.clear();
    selected_ = -1;
    pressed_ = -1;
    update();
}

QString SegmentedControl::titleForSegmentAtIndex(int index) const {
    return titles_.value(index);
}

void SegmentedControl::setSelectedSegmentIndex(int index) {
    selected_ = index >= 0 && index < numberOfSegments() ? index : -1;
    update();
}

void SegmentedControl::setTintColor(const QColor& colour) {
    tint_ = colour;
    update();
}

QRectF SegmentedControl::segmentRect(int index) const {
    const qreal w = qreal(width()) / std::max(1, numberOfSegments());
    return {index * w, 0, w, qreal(height())};
}

int SegmentedControl::segmentAt(QPointF pos) const {
    if (numberOfSegments() == 0 || !rect().contains(pos.toPoint())) {
        return -1;
    }
    const int index = static_cast<int>(pos.x() * numberOfSegments() / std::max(1, width()));
    return std::clamp(index, 0, numberOfSegments() - 1);
}

void SegmentedControl::selectByUser(int index) {
    if (index < 0 || index >= numberOfSegments() || index == selected_) {
        return;
    }
    selected_ = index;
    update();
    emit valueChanged(index);
}

void SegmentedControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressed_ = segmentAt(event->position());
    event->accept();
}

void SegmentedControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int pressed = pressed_;
    pressed_ = -1;
    event->accept();
    // A press that slid onto another segment, or off the control, chooses nothing.
    if (pressed >= 0 && segmentAt(event->position()) == pressed) {
        selectByUser(pressed);
    }
}

void SegmentedControl::keyPressEvent(QKeyEvent* event) {
    const int from = selected_ < 0 ? 0 : selected_;
    switch (event->key()) {
        case Qt::Key_Left:
            selectByUser(selected_ < 0 ? 0 : from - 1);
            break;
        case Qt::Key_Right:
            selectByUser(selected_ < 0 ? 0 : from + 1);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void SegmentedControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath outline;
    outline.addRoundedRect(frame, 4, 4);

    QLinearGradient bar(0, 0, 0, height());
    bar.setColorAt(0, tint_.lighter(135));
    bar.setColorAt(0.5, tint_);
    bar.setColorAt(1, tint_.darker(115));
    painter.fillPath(outline, bar);

    painter.save();
    painter.setClipPath(outline);
    if (selected_ >= 0) {
        // The selected segment is pressed in: darker, shaded from the top.
        QLinearGradient pressed(0, 0, 0, height());
        pressed.setColorAt(0, tint_.darker(160));
        pressed.setColorAt(1, tint_.darker(125));
        painter.fillRect(segmentRect(selected_), pressed);
    }
    painter.setPen(QPen(tint_.darker(170), 1));
    for (int i = 1; i < numberOfSegments(); ++i) {
        const qreal x = segmentRect(i).left();
        painter.drawLine(QPointF(x, 0), QPointF(x, height()));
    }
    painter.restore();
    painter.setPen(QPen(tint_.darker(170), 1));
    painter.drawPath(outline);

    painter.setFont(boldSystemFont(13));
    painter.setPen(Qt::white);
    for (int i = 0; i < numberOfSegments(); ++i) {
        painter.drawText(segmentRect(i), Qt::AlignCenter, titles_.at(i));
    }
    if (hasFocus()) {
        // White inside the tint, where the blue ring of the other controls would not show.
        painter.setPen(QPen(QColor(255, 255, 255, 230), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(frame.adjusted(2, 2, -2, -2), 3, 3);
    }
}

}  // namespace oa
