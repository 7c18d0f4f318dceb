// PlainRowCell: separator line and row view.
#include "ui/controller/message/PlainRowCell.h"

#include "ui/kit/Fonts.h"

namespace oa {

PlainRowCell::PlainRowCell(QWidget* parent)
    : TableViewCell(Style::Default, identifier(), parent), separator_(new QLabel(this)) {
    setSelectionStyle(SelectionStyle::Blue);
    separator_->setObjectName(QStringLiteral("separator"));
    separator_->setAttribute(Qt::WA_TransparentForMouseEvents);
    separator_->setAutoFillBackground(true);
    QPalette palette = separator_->palette();
    palette.setColor(QPalette::Window, QColor(0xd3, 0xd3, 0xd3));
    separator_->setPalette(palette);
}

void PlainRowCell::setRowView(QWidget* row) {
    removeContentSubviews();
    rowView_ = row;
    if (row) {
        row->setParent(contentView());
        row->show();
    }
}

void PlainRowCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    separator_->setGeometry(0, kSeparatorY, width(), 1);
    separator_->raise();
}

QLabel* rowLabel(QWidget* parent, const QRect& frame, int points, qreal grey, Qt::Alignment align,
                 const QString& text) {
    auto* label = new QLabel(parent);
    label->setGeometry(frame);
    label->setFont(systemFont(points));
    label->setAlignment(align | Qt::AlignVCenter);
    label->setAttribute(Qt::WA_TranslucentBackground);
    QPalette palette = label->palette();
    const int level = qRound(255 * grey);
    palette.setColor(QPalette::WindowText, QColor(level, level, level));
    label->setPalette(palette);
    // One line: what does not fit is cut at the label's edge.
    label->setWordWrap(false);
    label->setText(text);
    return label;
}

}  // namespace oa
