// FocusRing: the one look of keyboard focus on the kit's custom-drawn controls and list rows, so
// that a user without a mouse sees where Enter and Space will act.
#pragma once

#include <QColor>
#include <QRectF>
#include <QWidget>

class QPainter;

namespace oa {

inline const QColor kFocusRingColour{0x3a, 0x96, 0xf0};
// The same ring on the blue of the bars, where the darker blue would not show.
inline const QColor kFocusRingOnBarColour{0x8f, 0xd0, 0xff};

// A 2-point ring just inside `rect`, rounded by `radius`; with `fill`, a faint wash inside it too
// (for rows, whose whole face is the target).
void paintFocusRing(QPainter& painter, const QRectF& rect, qreal radius, bool fill = false,
                    const QColor& colour = kFocusRingColour);

// A ring drawn above its siblings (a table's current row over the cells), passing taps through.
class FocusRingView : public QWidget {
    Q_OBJECT
public:
    explicit FocusRingView(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace oa
