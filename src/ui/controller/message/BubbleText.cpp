#include "ui/controller/message/BubbleText.h"

#include <QPainter>
#include <QTextLayout>
#include <cmath>

#include "ui/kit/Fonts.h"

namespace oa {

QFont bubbleTextFont() {
    return systemFont(14);
}

QTextOption bubbleTextOption() {
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

QString bubbleLayoutText(const QString& text) {
    // QTextLayout breaks a line only at U+2028; "\r\n" is one break.
    QString laid = text;
    laid.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    laid.replace(QLatin1Char('\r'), QChar::LineSeparator);
    laid.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return laid;
}

QSizeF measureBubbleText(const QString& text) {
    QTextLayout layout(bubbleLayoutText(text), bubbleTextFont());
    layout.setTextOption(bubbleTextOption());
    layout.beginLayout();
    qreal width = 0;
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(kBubbleTextWidth);
        line.setPosition({0, height});
        width = std::max(width, line.naturalTextWidth());
        height += line.height();
    }
    layout.endLayout();
    return {std::ceil(std::min(width, kBubbleTextWidth)), std::ceil(height)};
}

BubbleTextLabel::BubbleTextLabel(QWidget* parent) : QLabel(parent) {}

void BubbleTextLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRectF(rect()), bubbleLayoutText(text()), bubbleTextOption());
}

}  // namespace oa
