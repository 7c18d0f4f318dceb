// RowLabel: one line of text in a list row, as a phone label draws it: plain text (never markup,
// whatever the server sends), on one line in its alignment, cut with "…" when it does not fit.
#pragma once

#include <QColor>
#include <QLabel>
#include <QString>

namespace oa {

class RowLabel : public QLabel {
    Q_OBJECT
public:
    explicit RowLabel(QWidget* parent = nullptr);

    QColor textColor() const { return textColor_; }
    void setTextColor(const QColor& colour);
    // The text as drawn: line breaks become spaces.
    QString displayText() const;
    // The width of the whole text on one line, in points: what sizing to fit gives.
    int fittingWidth() const;
    // The part of the text that shows in the current width.
    QString elidedText() const;
    // The font the text is drawn in: the label's, with a family in front for characters its
    // own first family draws blank.
    QFont drawingFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor textColor_{Qt::black};
};

}  // namespace oa
