// ContactAddButton: a ringed circle with a plus, drawn for any pixel density.
#include "ui/kit/ContactAddButton.h"

#include <QPainter>

namespace oa {

ContactAddButton::ContactAddButton(QWidget* parent) : QAbstractButton(parent) {
    setFixedSize(kSize);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(QStringLiteral("添加"));
}

void ContactAddButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor tint = isDown() ? QColor(0, 84, 180) : QColor(0, 122, 255);
    if (!isEnabled()) {
        tint = QColor(175, 175, 175);
    }
    const qreal side = std::min(width(), height()) - 2.0;
    const QRectF circle((width() - side) / 2, (height() - side) / 2, side, side);
    painter.setPen(QPen(tint, 1.5));
    painter.setBrush(isDown() ? QColor(0, 122, 255, 40) : QColor(Qt::white));
    painter.drawEllipse(circle.adjusted(0.75, 0.75, -0.75, -0.75));
    const QPointF centre = circle.center();
    const qreal arm = side * 0.27;
    painter.setPen(QPen(tint, 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(centre.x() - arm, centre.y()), QPointF(centre.x() + arm, centre.y()));
    painter.drawLine(QPointF(centre.x(), centre.y() - arm), QPointF(centre.x(), centre.y() + arm));
}

}  // namespace oa
