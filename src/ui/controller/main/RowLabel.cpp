// RowLabel: single-line plain text with the tail cut off.
#include "ui/controller/main/RowLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

#include "ui/kit/Fonts.h"

namespace oa {

RowLabel::RowLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, textColor_);
    setPalette(p);
}

void RowLabel::setTextColor(const QColor& colour) {
    textColor_ = colour;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
    update();
}

QString RowLabel::displayText() const {
    QString shown = text();
    shown.replace(QLatin1String("\r\n"), QLatin1String(" "));
    shown.replace(QLatin1Char('\r'), QLatin1Char(' '));
    shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    shown.replace(QChar::LineSeparator, QLatin1Char(' '));
    shown.replace(QChar::ParagraphSeparator, QLatin1Char(' '));
    return shown;
}

QFont RowLabel::drawingFont() const {
    return fontForText(font(), displayText());
}

int RowLabel::fittingWidth() const {
    return int(std::ceil(QFontMetricsF(drawingFont()).horizontalAdvance(displayText())));
}

QString RowLabel::elidedText() const {
    return QFontMetricsF(drawingFont()).elidedText(displayText(), Qt::ElideRight, qreal(width()));
}

void RowLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(drawingFont());
    painter.setPen(textColor_);
    painter.drawText(rect(), int(alignment()) | Qt::TextSingleLine, elidedText());
}

}  // namespace oa
