// FocusRing: drawing the ring.
#include "ui/kit/FocusRing.h"

#include <QPainter>

namespace oa {

void paintFocusRing(QPainter& painter, const QRectF& rect, qreal radius, bool fill,
                    const QColor& colour) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QColor wash = colour;
    wash.setAlpha(28);
    painter.setBrush(fill ? QBrush(wash) : QBrush(Qt::NoBrush));
    painter.setPen(QPen(colour, 2));
    painter.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius, radius);
    painter.restore();
}

FocusRingView::FocusRingView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("focusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void FocusRingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintFocusRing(painter, QRectF(rect()).adjusted(1, 1, -1, -1), 5, true);
}

}  // namespace oa
