// How the timeline sets a bubble's text: the 14-point system font, wrapped within 220 points at
// word boundaries, breaking a word that is wider than the whole line.
#pragma once

#include <QFont>
#include <QLabel>
#include <QSizeF>
#include <QString>
#include <QTextOption>

namespace oa {

constexpr qreal kBubbleTextWidth = 220;

QFont bubbleTextFont();
QTextOption bubbleTextOption();
// The text as it is laid out: each line break ("\n", "\r\n" or "\r") as a line separator.
QString bubbleLayoutText(const QString& text);
// The size of the text set that way, every line of it, rounded up to whole points.
QSizeF measureBubbleText(const QString& text);

// A label that draws its text the way measureBubbleText measures it (QLabel's own word wrap
// lets a long word run out of the bubble).
class BubbleTextLabel : public QLabel {
    Q_OBJECT
public:
    explicit BubbleTextLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace oa
