// JSBadgeView: a counter badge attached to a view (a module icon): a red rounded label with white
// bold text, 24 points high and as wide as its text plus 16 points, centred on a corner or edge
// of the view it is attached to.
#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace oa {

class JSBadgeView : public QWidget {
    Q_OBJECT
public:
    // The point of the target the badge is centred on. TopRight (1) is the home grid's.
    enum class Alignment {
        TopLeft = 0,
        TopRight = 1,
        TopCenter = 2,
        CenterLeft = 3,
        CenterRight = 4,
        BottomLeft = 5,
        BottomRight = 6,
        BottomCenter = 7,
        Center = 8,
    };
    Q_ENUM(Alignment)

    static constexpr int kHeight = 24;
    static constexpr int kHorizontalPadding = 16;

    // A child of `target`, shown (setHidden(true) hides it) with an empty text. Like any child
    // it goes with its target, and viewWithTag finds it under the target. Qt clips children to
    // their parent, so what is drawn outside the target (the badge overhangs the icon's corner)
    // is painted by a companion widget in the nearest ancestor with room for it.
    explicit JSBadgeView(QWidget* target, Alignment alignment = Alignment::TopRight);
    ~JSBadgeView() override;

    QWidget* target() const { return parentWidget(); }

    QString badgeText() const { return text_; }
    // Also lays the badge out again, so its width follows the text.
    void setBadgeText(const QString& text);
    Alignment badgeAlignment() const { return alignment_; }
    void setBadgeAlignment(Alignment alignment);
    // Moves the badge from its aligned place by this many points.
    QPointF badgePositionAdjustment() const { return adjustment_; }
    void setBadgePositionAdjustment(QPointF adjustment);
    QColor badgeBackgroundColor() const { return background_; }
    void setBadgeBackgroundColor(const QColor& colour);
    QColor badgeTextColor() const { return textColour_; }
    void setBadgeTextColor(const QColor& colour);
    QFont badgeTextFont() const { return font_; }
    void setBadgeTextFont(const QFont& font);

    // Recomputes size and position from the text, the alignment and the target's size.
    void setNeedsLayout();

    // Draws the badge at `box` (as painted by the companion widget).
    void drawBadge(QPainter& painter, const QRectF& box) const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateCompanion();
    void watch(QWidget* widget);

    QString text_;
    Alignment alignment_;
    QPointF adjustment_;
    QColor background_;
    QColor textColour_;
    QFont font_;
    QPointer<QWidget> companion_;
    QList<QPointer<QWidget>> watched_;
    bool updating_ = false;
};

}  // namespace oa
