// CardRowCell: the label, the wrapping value and the row height it needs.
#include "ui/controller/lookup/CardRowCell.h"

#include <QFontMetrics>

#include "ui/controller/main/BaseView.h"
#include "ui/kit/Fonts.h"

namespace oa {

namespace {
constexpr int kLeft = 10;
}

CardRowCell::CardRowCell(int points, int labelWidth, int valueWidth, QWidget* parent)
    : TableViewCell(Style::Default, identifier(), parent),
      labelWidth_(labelWidth),
      valueWidth_(valueWidth),
      points_(points),
      label_(new QLabel(contentView())),
      value_(new QLabel(contentView())) {
    setSelectionStyle(SelectionStyle::Gray);
    label_->setObjectName(QStringLiteral("label"));
    label_->setFont(systemFont(points));
    label_->setTextFormat(Qt::PlainText);
    value_->setObjectName(QStringLiteral("value"));
    value_->setTextFormat(Qt::PlainText);
    value_->setWordWrap(true);
    value_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
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
    const QFontMetrics metrics(systemFont(points));
    const QRect bounds =
        metrics.boundingRect(QRect(0, 0, std::max(1, width), 100000), Qt::TextWordWrap, value);
    return std::max(kMinHeight, bounds.height() + 2 * kPadding);
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
