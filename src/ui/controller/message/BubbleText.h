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
// The size of the text set that way, rounded up to whole points.
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
