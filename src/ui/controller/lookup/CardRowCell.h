// CardRowCell: one row of a person's or a contact's card: a label at the left and its value at
// the right, in grey, wrapping onto as many lines as it needs (the row grows with it). A phone
// value shows as a link: blue and underlined.
#pragma once

#include <QLabel>
#include <QString>

#include "ui/kit/TableViewCell.h"

namespace oa {

// A plain-text label that wraps between words, and inside a word longer than its width.
class WrappingLabel : public QLabel {
    Q_OBJECT
public:
    explicit WrappingLabel(QWidget* parent = nullptr);
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class CardRowCell : public TableViewCell {
    Q_OBJECT
public:
    static QString identifier() { return QStringLiteral("cardRow"); }
    static constexpr int kMinHeight = 44;
    static constexpr int kPadding = 11;
    static QColor linkColour() { return {0x1f, 0x5a, 0xc8}; }

    // `labelWidth`: the label's width; the value takes the rest of `contentWidth` up to
    // `valueWidth` (0: all of it).
    CardRowCell(int points, int labelWidth, int valueWidth, QWidget* parent = nullptr);

    void setRow(const QString& label, const QString& value, bool link);
    QLabel* label() const { return label_; }
    WrappingLabel* value() const { return value_; }
    bool isLink() const { return link_; }

    // The height of a row showing `value` in a value column `width` points wide.
    static int heightFor(const QString& value, int points, int width);

protected:
    void layoutSubviews() override;

private:
    int labelWidth_;
    int valueWidth_;
    int points_;
    QLabel* label_;
    WrappingLabel* value_;
    bool link_ = false;
};

}  // namespace oa
