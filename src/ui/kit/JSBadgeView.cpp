// JSBadgeView: size and place from text and alignment, and the companion that paints the badge
// where the target's bounds would clip it.
#include "ui/kit/JSBadgeView.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "ui/kit/Fonts.h"

namespace oa {

namespace {

// Room around the badge for its shadow.
constexpr int kShadowMargin = 2;

// Paints its badge; lives in the nearest ancestor of the target that has room for the badge.
class BadgeCompanion : public QWidget {
public:
    explicit BadgeCompanion(JSBadgeView* badge) : badge_(badge) {
        setObjectName(QStringLiteral("badgeCompanion"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!badge_) {
            return;
        }
        QPainter painter(this);
        badge_->drawBadge(painter, QRectF(rect()).adjusted(kShadowMargin, kShadowMargin,
                                                           -kShadowMargin, -kShadowMargin));
    }

private:
    QPointer<JSBadgeView> badge_;
};

bool affectsPlacement(QEvent::Type type) {
    switch (type) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ParentChange:
            return true;
        default:
            return false;
    }
}

}  // namespace

JSBadgeView::JSBadgeView(QWidget* target, Alignment alignment)
    : QWidget(target),
      alignment_(alignment),
      background_(0xe0, 0x24, 0x24),
      textColour_(Qt::white),
      font_(boldSystemFont(14)) {
    setObjectName(QStringLiteral("badge"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setNeedsLayout();
    show();
}

JSBadgeView::~JSBadgeView() {
    delete companion_;
}

void JSBadgeView::setBadgeText(const QString& text) {
    text_ = text;
    setNeedsLayout();
}

void JSBadgeView::setBadgeAlignment(Alignment alignment) {
    alignment_ = alignment;
    setNeedsLayout();
}

void JSBadgeView::setBadgePositionAdjustment(QPointF adjustment) {
    adjustment_ = adjustment;
    setNeedsLayout();
}

void JSBadgeView::setBadgeBackgroundColor(const QColor& colour) {
    background_ = colour;
    updateCompanion();
}

void JSBadgeView::setBadgeTextColor(const QColor& colour) {
    textColour_ = colour;
    updateCompanion();
}

void JSBadgeView::setBadgeTextFont(const QFont& font) {
    font_ = font;
    setNeedsLayout();
}

void JSBadgeView::setNeedsLayout() {
    const QWidget* host = target();
    const QSizeF area = host ? QSizeF(host->size()) : QSizeF();
    const qreal w = QFontMetricsF(font_).horizontalAdvance(text_) + kHorizontalPadding;
    const qreal h = kHeight;
    QPointF anchor;
    switch (alignment_) {
        case Alignment::TopLeft:
            anchor = {0, 0};
            break;
        case Alignment::TopRight:
            anchor = {area.width(), 0};
            break;
        case Alignment::TopCenter:
            anchor = {area.width() / 2, 0};
            break;
        case Alignment::CenterLeft:
            anchor = {0, area.height() / 2};
            break;
        case Alignment::CenterRight:
            anchor = {area.width(), area.height() / 2};
            break;
        case Alignment::BottomLeft:
            anchor = {0, area.height()};
            break;
        case Alignment::BottomRight:
            anchor = {area.width(), area.height()};
            break;
        case Alignment::BottomCenter:
            anchor = {area.width() / 2, area.height()};
            break;
        case Alignment::Center:
            anchor = {area.width() / 2, area.height() / 2};
            break;
    }
    const QPointF topLeft = anchor - QPointF(w / 2, h / 2) + adjustment_;
    setGeometry(qRound(topLeft.x()), qRound(topLeft.y()), qRound(w), qRound(h));
    updateCompanion();
}

void JSBadgeView::drawBadge(QPainter& painter, const QRectF& box) const {
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = std::min(box.width(), box.height()) / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawRoundedRect(box.translated(0, 1.5), radius, radius);

    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0, background_.lighter(125));
    fill.setColorAt(1, background_);
    painter.setBrush(fill);
    painter.setPen(QPen(Qt::white, 2));
    const QRectF inner = box.adjusted(1, 1, -1, -1);
    painter.drawRoundedRect(inner, radius - 1, radius - 1);

    painter.setPen(textColour_);
    painter.setFont(font_);
    painter.drawText(box, Qt::AlignCenter, text_);
}

bool JSBadgeView::event(QEvent* e) {
    const bool result = QWidget::event(e);
    if (affectsPlacement(e->type())) {
        updateCompanion();
    }
    return result;
}

bool JSBadgeView::eventFilter(QObject* watched, QEvent* e) {
    if (affectsPlacement(e->type())) {
        // The target's size decides the anchor; anything above moves the companion.
        if (watched == target() && (e->type() == QEvent::Resize)) {
            setNeedsLayout();
        } else {
            updateCompanion();
        }
    }
    return QWidget::eventFilter(watched, e);
}

void JSBadgeView::watch(QWidget* widget) {
    for (const auto& known : watched_) {
        if (known == widget) {
            return;
        }
    }
    widget->installEventFilter(this);
    watched_.append(widget);
}

void JSBadgeView::updateCompanion() {
    if (updating_) {
        return;
    }
    updating_ = true;
    QWidget* from = target();
    QWidget* host = from;
    QRect box = geometry().adjusted(-kShadowMargin, -kShadowMargin, kShadowMargin, kShadowMargin);
    // Climb until the badge fits inside; a window is as far as anything can be drawn.
    while (host && !host->rect().contains(box) && host->parentWidget() && !host->isWindow()) {
        box.translate(host->pos());
        host = host->parentWidget();
    }

    // Follow every widget from the target up to the window: their moves, sizes, visibility
    // and parents decide where the badge is seen.
    QList<QPointer<QWidget>> chain;
    for (QWidget* w = from; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        chain.append(w);
    }
    for (const auto& old : watched_) {
        if (old && !chain.contains(old)) {
            old->removeEventFilter(this);
        }
    }
    watched_.removeIf([&chain](const QPointer<QWidget>& w) { return !w || !chain.contains(w); });
    for (const auto& w : chain) {
        watch(w);
    }

    if (!host) {
        if (companion_) {
            companion_->hide();
        }
        updating_ = false;
        return;
    }
    if (!companion_) {
        companion_ = new BadgeCompanion(this);
    }
    if (companion_->parentWidget() != host) {
        companion_->setParent(host);
    }
    companion_->setGeometry(box);
    companion_->raise();
    companion_->setVisible(isVisibleTo(host));
    companion_->update();
    updating_ = false;
}

}  // namespace oa
