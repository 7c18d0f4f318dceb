// PlainRowCell: the reusable "_CELL" of the conversation and reminder lists: blue selection, a
// 1-point light-grey line across the row at y 61, and one row view in its content, replaced
// whenever the cell is reused.
#pragma once

#include <QLabel>
#include <QPointer>

#include "ui/kit/TableViewCell.h"

namespace oa {

class PlainRowCell : public TableViewCell {
    Q_OBJECT
public:
    static QString identifier() { return QStringLiteral("_CELL"); }
    static constexpr int kSeparatorY = 61;

    explicit PlainRowCell(QWidget* parent = nullptr);

    // Removes what the content showed and shows `row` (null: an empty row), which the cell
    // takes.
    void setRowView(QWidget* row);
    QWidget* rowView() const { return rowView_; }

protected:
    void layoutSubviews() override;

private:
    QLabel* separator_;
    QPointer<QWidget> rowView_;
};

// A one-line label of the lists' rows: system font of `points`, grey `grey`; a text too long
// for the frame, or of several lines (only the first shows), ends in an ellipsis.
QLabel* rowLabel(QWidget* parent, const QRect& frame, int points, qreal grey, Qt::Alignment align,
                 const QString& text);

}  // namespace oa
