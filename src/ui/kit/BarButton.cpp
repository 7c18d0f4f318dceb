// BarButton: drawing the image and the title, darker while pressed.
#include "ui/kit/BarButton.h"

#include <QKeyEvent>
#include <QPainter>

#include "ui/kit/FocusRing.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"

namespace oa {

BarButton::BarButton(const QString& title, const QString& imageName, QSize size, QWidget* parent)
    : QPushButton(title, parent), imageName_(imageName) {
    setFont(systemFont(kFontSize));
    // Tab reaches it, a click does not take the focus from a field being edited.
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    resize(size);
}

BarButton* BarButton::backButton() {
    auto* button = new BarButton(QStringLiteral("  返回"), QStringLiteral("btnback1.png"));
    button->setObjectName(QStringLiteral("backButton"));
    return button;
}

BarButton* BarButton::rightButton(const QString& title) {
    return new BarButton(title, QStringLiteral("btn_background1"));
}

void BarButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    QPixmap background = image(imageName_, devicePixelRatioF());
    if (!background.isNull()) {
        if (isDown()) {
            // Darken the image only, so that its transparent parts stay clear.
            QPainter dark(&background);
            dark.setCompositionMode(QPainter::CompositionMode_SourceAtop);
            dark.fillRect(QRect(QPoint(0, 0), background.size()), QColor(0, 0, 0, 70));
        }
        painter.drawPixmap(rect(), background);
    } else {
        painter.setPen(QColor(0, 0, 0, 90));
        painter.setBrush(isDown() ? QColor(0x24, 0x55, 0x8c) : QColor(0x2f, 0x6b, 0xb0));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    }
    painter.setFont(font());
    painter.setPen(QColor(0, 0, 0, 90));
    painter.drawText(rect().translated(0, -1), Qt::AlignCenter, text());
    painter.setPen(isEnabled() ? QColor(Qt::white) : QColor(255, 255, 255, 130));
    painter.drawText(rect(), Qt::AlignCenter, text());
    if (hasFocus()) {
        paintFocusRing(painter, rect(), 5, false, kFocusRingOnBarColour);
    }
}

void BarButton::keyPressEvent(QKeyEvent* event) {
    // A bar has no default button, so Enter acts on the focused one as Space does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

}  // namespace oa
