// PlainRowCell: separator line and row view.
#include "ui/controller/message/PlainRowCell.h"

#include <QPainter>

#include "ui/kit/Fonts.h"

namespace oa {

namespace {

// The first line of a text; a text of more lines ends there in "…".
QString firstLine(const QString& text) {
    const QString trimmed = text.trimmed();
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator) {
            return trimmed.left(i) + QChar(0x2026);
        }
    }
    return trimmed;
}

// One line; what does not fit ends in "…". text() keeps the whole text.
class ElidedLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        const QRect area = contentsRect();
        painter.drawText(area, int(alignment()),
                         fontMetrics().elidedText(firstLine(text()), Qt::ElideRight, area.width()));
    }
};

}  // namespace

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
    auto* label = new ElidedLabel(parent);
    label->setGeometry(frame);
    label->setFont(systemFont(points));
    label->setAlignment(align | Qt::AlignVCenter);
    label->setAttribute(Qt::WA_TranslucentBackground);
    QPalette palette = label->palette();
    const int level = qRound(255 * grey);
    palette.setColor(QPalette::WindowText, QColor(level, level, level));
    label->setPalette(palette);
    label->setWordWrap(false);
    label->setText(text);
    return label;
}

}  // namespace oa
