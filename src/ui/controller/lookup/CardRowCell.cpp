// CardRowCell: the label, the wrapping value and the row height it needs.
#include "ui/controller/lookup/CardRowCell.h"

#include <QPainter>
#include <QTextLayout>
#include <cmath>

#include "ui/controller/main/BaseView.h"
#include "ui/kit/Fonts.h"

namespace oa {

namespace {

constexpr int kLeft = 10;

QTextOption wrapping() {
    // Between words where there are some, anywhere in a long address or e-mail.
    QTextOption option(Qt::AlignLeft | Qt::AlignVCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

// The height of `text` laid out in `width` points.
int wrappedHeight(const QString& text, const QFont& font, int width) {
    QTextLayout layout(text, font);
    layout.setTextOption(wrapping());
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        height += line.height();
    }
    layout.endLayout();
    return int(std::ceil(height));
}

}  // namespace

WrappingLabel::WrappingLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
}

int WrappingLabel::heightForWidth(int width) const {
    return wrappedHeight(text(), font(), width);
}

void WrappingLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRectF(rect()), text(), wrapping());
}

CardRowCell::CardRowCell(int points, int labelWidth, int valueWidth, QWidget* parent)
    : TableViewCell(Style::Default, identifier(), parent),
      labelWidth_(labelWidth),
      valueWidth_(valueWidth),
      points_(points),
      label_(new QLabel(contentView())),
      value_(new WrappingLabel(contentView())) {
    setSelectionStyle(SelectionStyle::Gray);
    label_->setObjectName(QStringLiteral("label"));
    label_->setFont(systemFont(points));
    label_->setTextFormat(Qt::PlainText);
    value_->setObjectName(QStringLiteral("value"));
}

void CardRowCell::setRow(const QString& label, const QString& value, bool link) {
    link_ = link;
    label_->setText(label);
    value_->setText(value);
    QFont font = systemFont(points_);
    font.setUnderline(link);
    value_->setFont(font);
    QPalette palette = value_->palette();
    palette.setColor(QPalette::WindowText, link ? linkColour() : BaseView::grey());
    value_->setPalette(palette);
    layoutSubviews();
}

int CardRowCell::heightFor(const QString& value, int points, int width) {
    return std::max(kMinHeight,
                    wrappedHeight(value, systemFont(points), std::max(1, width)) + 2 * kPadding);
}

void CardRowCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    const int width = contentView()->width();
    const int height = contentView()->height();
    label_->setGeometry(kLeft, 0, labelWidth_, height);
    const int x = kLeft + labelWidth_;
    const int room = std::max(0, width - x - kLeft);
    value_->setGeometry(x, 0, valueWidth_ > 0 ? std::min(valueWidth_, room) : room, height);
}

}  // namespace oa
