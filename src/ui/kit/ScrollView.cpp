// ScrollView: the offset and its bounds, dragging with resistance past the ends, momentum and
// the spring back, wheel and keys, animations and the scroll indicator.
#include "ui/kit/ScrollView.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QVariantAnimation>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace oa {

void ScrollViewDelegate::scrollViewDidScroll(ScrollView*) {}
void ScrollViewDelegate::scrollViewWillBeginDragging(ScrollView*) {}
void ScrollViewDelegate::scrollViewDidEndDragging(ScrollView*, bool) {}
void ScrollViewDelegate::scrollViewDidEndDecelerating(ScrollView*) {}

namespace {

// A press that moves further than this is a drag, not a tap.
constexpr qreal kDragThreshold = 6;
// Beyond either end the content follows the finger at this fraction of the drag.
constexpr qreal kRubberBand = 0.5;
// Momentum: the share of speed kept per millisecond, and the speeds that count.
constexpr qreal kDecelerationPerMs = 0.998;
constexpr qreal kMinimumFlingSpeed = 50;
constexpr qreal kStopSpeed = 10;
constexpr qreal kMaximumSpeed = 4000;
// Only the last moments of a drag decide the fling speed; a drag shorter than kMinimumSampleMs
// (events replayed in a burst) has none.
constexpr qint64 kVelocityWindowMs = 100;
constexpr qint64 kMinimumSampleMs = 10;
constexpr int kFrameMs = 16;
constexpr qreal kWheelStep = 48;  // points per notch
constexpr qreal kKeyStep = 40;
constexpr int kAnimatedScrollMs = 300;
constexpr int kIndicatorShownMs = 600;

// The thin bar at the right edge that shows where the visible part lies in the content.
class ScrollIndicator : public QWidget {
public:
    explicit ScrollIndicator(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void setBar(const QRectF& bar) {
        bar_ = bar;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 110));
        painter.drawRoundedRect(bar_, bar_.width() / 2, bar_.width() / 2);
    }

private:
    QRectF bar_;
};

}  // namespace

ScrollView::ScrollView(QWidget* parent)
    : QWidget(parent),
      decelerationTimer_(new QTimer(this)),
      indicator_(new ScrollIndicator(this)),
      indicatorTimer_(new QTimer(this)) {
    setFocusPolicy(Qt::TabFocus);
    clock_.start();
    decelerationTimer_->setInterval(kFrameMs);
    connect(decelerationTimer_, &QTimer::timeout, this, &ScrollView::decelerationStep);
    indicator_->hide();
    indicatorTimer_->setSingleShot(true);
    indicatorTimer_->setInterval(kIndicatorShownMs);
    connect(indicatorTimer_, &QTimer::timeout, indicator_, &QWidget::hide);
}

ScrollView::~ScrollView() {
    scrollDelegate_ = nullptr;
}

// --- Bounds and offset ------------------------------------------------------------------------

qreal ScrollView::minimumContentOffset() const {
    return -inset_.top;
}

qreal ScrollView::maximumContentOffset() const {
    return std::max(minimumContentOffset(), contentHeight_ + inset_.bottom - height());
}

qreal ScrollView::clamped(qreal y) const {
    return std::clamp(y, minimumContentOffset(), maximumContentOffset());
}

bool ScrollView::isAtRest() const {
    return !dragging_ && !decelerating_ && !offsetAnimation_;
}

void ScrollView::setContentHeight(qreal height) {
    if (height == contentHeight_) {
        return;
    }
    contentHeight_ = height;
    emit contentSizeChanged(contentSize());
}

QSizeF ScrollView::contentSize() const {
    return {contentWidth_ > 0 ? contentWidth_ : qreal(width()), contentHeight_};
}

void ScrollView::setContentSize(const QSizeF& size) {
    setContentWidth(size.width());
    setContentHeight(size.height());
}

void ScrollView::setContentWidth(qreal width) {
    width = std::max<qreal>(0, width);
    if (width == contentWidth_) {
        return;
    }
    contentWidth_ = width;
    emit contentSizeChanged(contentSize());
    // A narrower content takes the offset back within its end.
    if (offsetX_ > maximumContentOffsetX()) {
        setOffsetXInternal(maximumContentOffsetX());
    } else {
        layoutContent();
    }
}

// --- Sideways ---------------------------------------------------------------------------------

qreal ScrollView::maximumContentOffsetX() const {
    return std::max<qreal>(0, contentWidth_ - width());
}

bool ScrollView::canScrollSideways() const {
    return scrollEnabled_ && contentWidth_ > width();
}

void ScrollView::setContentOffsetX(qreal x) {
    setOffsetXInternal(std::clamp<qreal>(x, 0, maximumContentOffsetX()));
}

void ScrollView::setOffsetXInternal(qreal x) {
    if (x == offsetX_) {
        return;
    }
    offsetX_ = x;
    layoutContent();
    const QPointer<ScrollView> self(this);
    emit didScroll();
    if (self && scrollDelegate_) {
        scrollDelegate_->scrollViewDidScroll(this);
    }
}

bool ScrollView::startsSidewaysDrag(QPointF pressGlobal, QPointF global) const {
    const qreal dx = std::abs(global.x() - pressGlobal.x());
    const qreal dy = std::abs(global.y() - pressGlobal.y());
    return canScrollSideways() && dx >= kDragThreshold && dx > dy;
}

void ScrollView::dragSideways(QPointF global) {
    const qreal x = sidewaysStartOffset_ - (global.x() - sidewaysPressGlobal_.x());
    setOffsetXInternal(std::clamp<qreal>(x, 0, maximumContentOffsetX()));
}

bool ScrollView::eventFilter(QObject* watched, QEvent* event) {
    auto* child = qobject_cast<QWidget*>(watched);
    const bool isContent =
        child && std::any_of(contentSubviews_.cbegin(), contentSubviews_.cend(),
                             [child](const auto& entry) { return entry.first == child; });
    if (!isContent || cancellingChildPress_) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            draggingSideways_ = false;
            childPressed_ = nullptr;
            if (mouse->button() == Qt::LeftButton && canScrollSideways()) {
                childPressed_ = child;
                childPressGlobal_ = mouse->globalPosition();
            }
            break;
        }
        case QEvent::MouseMove: {
            if (childPressed_ != child) {
                break;
            }
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (!draggingSideways_) {
                if (!(mouse->buttons() & Qt::LeftButton) ||
                    !startsSidewaysDrag(childPressGlobal_, mouse->globalPosition())) {
                    break;
                }
                // The press becomes a drag: the subview sees it released away from itself, so a
                // button is not clicked.
                cancellingChildPress_ = true;
                QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-10000, -10000),
                                    mouse->globalPosition(), Qt::LeftButton, Qt::NoButton,
                                    mouse->modifiers());
                QCoreApplication::sendEvent(child, &release);
                cancellingChildPress_ = false;
                draggingSideways_ = true;
                sidewaysPressGlobal_ = childPressGlobal_;
                sidewaysStartOffset_ = offsetX_;
            }
            dragSideways(mouse->globalPosition());
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (childPressed_ == child) {
                childPressed_ = nullptr;
                if (draggingSideways_) {
                    draggingSideways_ = false;
                    return true;
                }
            }
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void ScrollView::setOffsetInternal(qreal y) {
    if (y == offset_) {
        return;
    }
    offset_ = y;
    layoutContent();
    flashIndicator();
    const QPointer<ScrollView> self(this);
    emit didScroll();
    if (self && scrollDelegate_) {
        scrollDelegate_->scrollViewDidScroll(this);
    }
}

void ScrollView::setContentOffset(qreal y, bool animated) {
    if (animated) {
        animateContentOffset(y, kAnimatedScrollMs);
        return;
    }
    stopScrolling();
    setOffsetInternal(y);
}

void ScrollView::animateContentOffset(qreal y, int milliseconds, std::function<void()> done) {
    stopScrolling();
    if (milliseconds <= 0 || y == offset_) {
        setOffsetInternal(y);
        if (done) {
            done();
        }
        return;
    }
    auto* animation = new QVariantAnimation(this);
    animation->setStartValue(offset_);
    animation->setEndValue(y);
    animation->setDuration(milliseconds);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setOffsetInternal(value.toReal()); });
    if (done) {
        connect(animation, &QAbstractAnimation::finished, this, std::move(done));
    }
    offsetAnimation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void ScrollView::setContentInset(const EdgeInsets& inset) {
    if (inset_ == inset) {
        return;
    }
    const qreal oldMin = minimumContentOffset();
    const qreal oldMax = maximumContentOffset();
    inset_ = inset;
    if (isAtRest()) {
        qreal y = offset_;
        if (minimumContentOffset() > oldMin && y < minimumContentOffset()) {
            y = minimumContentOffset();
        }
        if (maximumContentOffset() < oldMax && y > maximumContentOffset()) {
            y = maximumContentOffset();
        }
        if (y != offset_) {
            setOffsetInternal(y);
            return;
        }
    }
    layoutContent();
}

void ScrollView::animateContentInset(const EdgeInsets& inset, int milliseconds,
                                     std::function<void()> done) {
    if (insetAnimation_) {
        insetAnimation_->stop();
    }
    if (milliseconds <= 0) {
        setContentInset(inset);
        if (done) {
            done();
        }
        return;
    }
    const EdgeInsets from = inset_;
    auto* animation = new QVariantAnimation(this);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->setDuration(milliseconds);
    animation->setEasingCurve(QEasingCurve::OutQuad);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this, from, inset](const QVariant& value) {
                const qreal t = value.toReal();
                setContentInset({from.top + (inset.top - from.top) * t,
                                 from.bottom + (inset.bottom - from.bottom) * t});
            });
    if (done) {
        connect(animation, &QAbstractAnimation::finished, this, std::move(done));
    }
    insetAnimation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void ScrollView::setScrollEnabled(bool enabled) {
    scrollEnabled_ = enabled;
    if (!enabled) {
        stopScrolling();
    }
}

// --- Content subviews -------------------------------------------------------------------------

void ScrollView::addContentSubview(QWidget* widget, const QRectF& frame) {
    if (!widget) {
        return;
    }
    widget->setParent(this);
    contentSubviews_.removeIf([widget](const auto& entry) { return entry.first == widget; });
    contentSubviews_.append({widget, frame});
    // A drag that starts on it may scroll sideways.
    widget->installEventFilter(this);
    widget->show();
    raiseOverlays();
    layoutContent();
}

void ScrollView::setContentSubviewFrame(QWidget* widget, const QRectF& frame) {
    for (auto& entry : contentSubviews_) {
        if (entry.first == widget) {
            entry.second = frame;
            layoutContent();
            return;
        }
    }
}

void ScrollView::layoutContent() {
    contentSubviews_.removeIf([](const auto& entry) { return entry.first.isNull(); });
    for (const auto& [widget, frame] : contentSubviews_) {
        widget->setGeometry(
            QRectF(frame.x() - offsetX_, frame.y() - offset_, frame.width(), frame.height())
                .toRect());
    }
}

void ScrollView::raiseOverlays() {
    for (const auto& entry : contentSubviews_) {
        if (entry.first) {
            entry.first->raise();
        }
    }
    indicator_->raise();
}

// --- Momentum and springing back --------------------------------------------------------------

void ScrollView::stopScrolling() {
    if (offsetAnimation_) {
        offsetAnimation_->stop();
    }
    decelerationTimer_->stop();
    decelerating_ = false;
}

void ScrollView::startDeceleration(qreal velocity) {
    stopScrolling();
    velocity_ = std::clamp(velocity, -kMaximumSpeed, kMaximumSpeed);
    decelerating_ = true;
    lastStepMs_ = clock_.elapsed();
    decelerationTimer_->start();
}

void ScrollView::decelerationStep() {
    const qint64 now = clock_.elapsed();
    const qreal dt = std::clamp(static_cast<qreal>(now - lastStepMs_) / 1000.0, 0.001, 0.05);
    lastStepMs_ = now;
    qreal y = offset_;
    if (y == clamped(y)) {
        y += velocity_ * dt;
        velocity_ *= std::pow(kDecelerationPerMs, dt * 1000);
        if (y != clamped(y) && !bounces_) {
            y = clamped(y);
            velocity_ = 0;
        }
    } else {
        // Past an end: what momentum is left dies quickly while a spring pulls the content back.
        // The bounds are read every step, so an inset that changes meanwhile is followed.
        y += velocity_ * dt;
        velocity_ *= std::exp(-dt / 0.03);
        y += (clamped(y) - y) * (1 - std::exp(-dt / 0.08));
    }
    const qreal target = clamped(y);
    const bool settled =
        std::abs(velocity_) < kStopSpeed && (y == target || std::abs(target - y) < 0.5);
    if (!settled) {
        setOffsetInternal(y);
        return;
    }
    decelerationTimer_->stop();
    decelerating_ = false;
    velocity_ = 0;
    const QPointer<ScrollView> self(this);
    setOffsetInternal(target);
    if (!self) {
        return;
    }
    emit didEndDecelerating();
    if (self && scrollDelegate_) {
        scrollDelegate_->scrollViewDidEndDecelerating(this);
    }
}

void ScrollView::flashIndicator() {
    const qreal visible = height();
    if (contentHeight_ <= visible || visible <= 0) {
        indicator_->hide();
        return;
    }
    constexpr qreal kWidth = 3;
    constexpr qreal kMargin = 2;
    const qreal track = visible - 2 * kMargin;
    qreal length = std::max(30.0, track * visible / contentHeight_);
    qreal position = (offset_ / (contentHeight_ - visible)) * (track - length);
    // Pulled past an end, the bar shrinks against that end.
    if (position < 0) {
        length = std::max(kWidth * 2, length + position);
        position = 0;
    } else if (position + length > track) {
        length = std::max(kWidth * 2, track - position);
        position = track - length;
    }
    indicator_->setGeometry(width() - static_cast<int>(kWidth) - 4, 0, static_cast<int>(kWidth) + 2,
                            height());
    static_cast<ScrollIndicator*>(indicator_)
        ->setBar(QRectF(1, kMargin + position, kWidth, length));
    indicator_->show();
    indicator_->raise();
    indicatorTimer_->start();
}

// --- Events -----------------------------------------------------------------------------------

void ScrollView::touchBegan(QPointF, bool) {}
void ScrollView::touchCancelled() {}
void ScrollView::touchEnded(QPointF) {}

void ScrollView::resizeEvent(QResizeEvent*) {
    // A taller view may leave the offset past the end of the content; pull it back.
    const qreal end = maximumContentOffset();
    if (isAtRest() && offset_ > end) {
        offset_ = end;
    }
    offsetX_ = std::min(offsetX_, maximumContentOffsetX());
    layoutContent();
}

void ScrollView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    const bool wasMoving = !isAtRest();
    stopScrolling();
    pressed_ = true;
    moved_ = false;
    dragging_ = false;
    draggingSideways_ = false;
    pressPos_ = event->position();
    sidewaysPressGlobal_ = event->globalPosition();
    sidewaysStartOffset_ = offsetX_;
    samples_.clear();
    samples_.push_back({clock_.elapsed(), pressPos_.y()});
    touchBegan(pressPos_, wasMoving);
}

void ScrollView::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_) {
        event->ignore();
        return;
    }
    event->accept();
    const QPointF pos = event->position();
    if (!dragging_) {
        const qreal dy = std::abs(pos.y() - pressPos_.y());
        if (!moved_ && dy < kDragThreshold && std::abs(pos.x() - pressPos_.x()) < kDragThreshold) {
            return;
        }
        if (!moved_) {
            moved_ = true;  // a press that moved is never a tap, scrollable or not
            touchCancelled();
        }
        if (draggingSideways_ ||
            startsSidewaysDrag(sidewaysPressGlobal_, event->globalPosition())) {
            draggingSideways_ = true;
            dragSideways(event->globalPosition());
            return;
        }
        if (!scrollEnabled_ || dy < kDragThreshold) {
            return;
        }
        dragging_ = true;
        // The content follows the whole way from the press, so a drag of n points moves it by
        // n. Content caught beyond an end (springing back, or held open) goes on from where it
        // is: undo the resistance to find where the finger would have put it.
        dragStartOffset_ = offset_;
        if (bounces_ && offset_ < minimumContentOffset()) {
            dragStartOffset_ =
                minimumContentOffset() - (minimumContentOffset() - offset_) / kRubberBand;
        } else if (bounces_ && offset_ > maximumContentOffset()) {
            dragStartOffset_ =
                maximumContentOffset() + (offset_ - maximumContentOffset()) / kRubberBand;
        }
        const QPointer<ScrollView> self(this);
        emit willBeginDragging();
        if (self && scrollDelegate_) {
            scrollDelegate_->scrollViewWillBeginDragging(this);
        }
        if (!self) {
            return;
        }
    }
    const qint64 now = clock_.elapsed();
    samples_.push_back({now, pos.y()});
    while (samples_.size() > 2 && now - samples_.front().ms > kVelocityWindowMs) {
        samples_.erase(samples_.begin());
    }
    qreal y = dragStartOffset_ - (pos.y() - pressPos_.y());
    const qreal low = minimumContentOffset();
    const qreal high = maximumContentOffset();
    if (y < low) {
        y = bounces_ ? low - (low - y) * kRubberBand : low;
    } else if (y > high) {
        y = bounces_ ? high + (y - high) * kRubberBand : high;
    }
    setOffsetInternal(y);
}

qreal ScrollView::releaseVelocity() const {
    const qint64 now = clock_.elapsed();
    if (samples_.size() < 2 || now - samples_.back().ms > kVelocityWindowMs) {
        return 0;  // the finger rested before it was lifted
    }
    const Sample& first = samples_.front();
    const Sample& last = samples_.back();
    if (last.ms - first.ms < kMinimumSampleMs) {
        return 0;
    }
    // A finger moving down scrolls towards the top: the offset falls.
    const qreal velocity = -(last.y - first.y) * 1000.0 / static_cast<qreal>(last.ms - first.ms);
    return std::abs(velocity) < kMinimumFlingSpeed ? 0 : velocity;
}

void ScrollView::mouseReleaseEvent(QMouseEvent* event) {
    if (!pressed_ || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    pressed_ = false;
    if (draggingSideways_) {
        draggingSideways_ = false;
        return;
    }
    if (!dragging_) {
        if (!moved_) {
            touchEnded(event->position());
        }
        return;
    }
    dragging_ = false;
    const qreal velocity = releaseVelocity();
    const bool willDecelerate = offset_ != clamped(offset_) || velocity != 0;
    const QPointer<ScrollView> self(this);
    emit didEndDragging(willDecelerate);
    if (self && scrollDelegate_) {
        scrollDelegate_->scrollViewDidEndDragging(this, willDecelerate);
    }
    // The handler may have changed the insets, so the ends are looked at again.
    if (self && (willDecelerate || offset_ != clamped(offset_))) {
        startDeceleration(velocity);
    }
}

void ScrollView::wheelEvent(QWheelEvent* event) {
    if (!scrollEnabled_ || dragging_) {
        event->ignore();
        return;
    }
    if (canScrollSideways()) {
        qreal dx = event->pixelDelta().x();
        if (dx == 0) {
            dx = event->angleDelta().x() / 120.0 * kWheelStep;
        }
        // A plain wheel over a strip that cannot scroll down moves it sideways.
        if (dx == 0 && maximumContentOffset() <= minimumContentOffset()) {
            dx = event->pixelDelta().y();
            if (dx == 0) {
                dx = event->angleDelta().y() / 120.0 * kWheelStep;
            }
        }
        if (dx != 0) {
            event->accept();
            setOffsetXInternal(std::clamp<qreal>(offsetX_ - dx, 0, maximumContentOffsetX()));
            return;
        }
    }
    qreal delta = event->pixelDelta().y();
    if (delta == 0) {
        delta = event->angleDelta().y() / 120.0 * kWheelStep;
    }
    if (delta == 0) {
        event->ignore();
        return;
    }
    event->accept();
    stopScrolling();
    // The wheel never pulls past an end, and does not snap back content that already is.
    const qreal low = std::min(offset_, minimumContentOffset());
    const qreal high = std::max(offset_, maximumContentOffset());
    setOffsetInternal(std::clamp(offset_ - delta, low, high));
}

void ScrollView::keyPressEvent(QKeyEvent* event) {
    if (!scrollEnabled_) {
        QWidget::keyPressEvent(event);
        return;
    }
    qreal y = offset_;
    const qreal page = std::max(kKeyStep, height() - inset_.top - inset_.bottom - kKeyStep);
    switch (event->key()) {
        case Qt::Key_Up:
            y -= kKeyStep;
            break;
        case Qt::Key_Down:
            y += kKeyStep;
            break;
        case Qt::Key_PageUp:
            y -= page;
            break;
        case Qt::Key_PageDown:
        case Qt::Key_Space:
            y += page;
            break;
        case Qt::Key_Home:
            y = minimumContentOffset();
            break;
        case Qt::Key_End:
            y = maximumContentOffset();
            break;
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (!canScrollSideways()) {
                QWidget::keyPressEvent(event);
                return;
            }
            setOffsetXInternal(
                std::clamp<qreal>(offsetX_ + (event->key() == Qt::Key_Left ? -kKeyStep : kKeyStep),
                                  0, maximumContentOffsetX()));
            return;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    stopScrolling();
    setOffsetInternal(clamped(y));
}

}  // namespace oa
