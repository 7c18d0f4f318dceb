// ScrollView: a widget whose content, taller than itself, scrolls vertically under a finger (a
// mouse drag), the wheel and the keys, with momentum, springy ends and content insets. The base
// of TableView; subclasses place their content wherever the offset says. Content wider than the
// view (a strip of name buttons) also scrolls sideways.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QRectF>
#include <QWidget>
#include <functional>
#include <vector>

class QTimer;
class QVariantAnimation;

namespace oa {

class ScrollView;

// Extra room above and below the content that scrolling may reveal (points).
struct EdgeInsets {
    qreal top = 0;
    qreal bottom = 0;
    bool operator==(const EdgeInsets&) const = default;
};

// Every member does nothing by default.
class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;
    // After every change of the content offset, also programmatic and animated ones.
    virtual void scrollViewDidScroll(ScrollView* scrollView);
    virtual void scrollViewWillBeginDragging(ScrollView* scrollView);
    // The finger (mouse button) was lifted after a drag; `willDecelerate` tells whether the
    // content keeps moving by itself (momentum, or springing back from beyond an end).
    virtual void scrollViewDidEndDragging(ScrollView* scrollView, bool willDecelerate);
    virtual void scrollViewDidEndDecelerating(ScrollView* scrollView);
};

class ScrollView : public QWidget {
    Q_OBJECT
public:
    explicit ScrollView(QWidget* parent = nullptr);
    ~ScrollView() override;

    // Not owned; clear it (or destroy the view) before it is destroyed.
    ScrollViewDelegate* scrollDelegate() const { return scrollDelegate_; }
    void setScrollDelegate(ScrollViewDelegate* delegate) { scrollDelegate_ = delegate; }

    // The offset is the content's y at the top edge of the view. At
    // rest it stays within [minimumContentOffset, maximumContentOffset] = [-inset.top,
    // contentHeight + inset.bottom - height]; a drag may pull it beyond (by half the drag), and
    // it springs back on release.
    qreal contentOffset() const { return offset_; }
    // Programmatic offsets are taken as given, also outside the bounds.
    void setContentOffset(qreal y, bool animated = false);
    // Moves the offset over `milliseconds`; `done` runs at the end unless a drag, another
    // animation or setContentOffset interrupts it.
    void animateContentOffset(qreal y, int milliseconds, std::function<void()> done = {});
    EdgeInsets contentInset() const { return inset_; }
    // While nobody drags and nothing moves, bounds that close in on the offset take it along
    // (so animating the inset back to zero scrolls with it); bounds that widen leave it.
    void setContentInset(const EdgeInsets& inset);
    void animateContentInset(const EdgeInsets& inset, int milliseconds,
                             std::function<void()> done = {});
    qreal contentHeight() const { return contentHeight_; }
    // The content's width is the view's unless a wider one is set.
    QSizeF contentSize() const;
    // A height for a plain scroll view's content (a TableView sets its own), and a width: wider
    // than the view, the content scrolls sideways.
    void setContentSize(const QSizeF& size);
    void setContentWidth(qreal width);

    // Sideways: the content's x at the left edge of the view, within [0,
    // maximumContentOffsetX] = [0, contentWidth - width]. A drag that moves more sideways than
    // down (also one that starts on a content subview, whose press it then cancels), a sideways
    // wheel (or any wheel when nothing scrolls vertically) and the Left/Right keys move it,
    // never past an end and without momentum. Changes emit didScroll; the drag signals are the
    // vertical drags' only. Content with no width set never moves sideways.
    qreal contentOffsetX() const { return offsetX_; }
    void setContentOffsetX(qreal x);
    qreal maximumContentOffsetX() const;
    bool isDraggingSideways() const { return draggingSideways_; }
    qreal minimumContentOffset() const;
    qreal maximumContentOffset() const;

    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled);
    // Whether a drag may pull the content past its ends (and spring back).
    bool bounces() const { return bounces_; }
    void setBounces(bool bounces) { bounces_ = bounces; }
    bool isDragging() const { return dragging_; }
    // True while the content moves by itself after a drag: momentum or springing back.
    bool isDecelerating() const { return decelerating_; }

    // Widgets that scroll with the content at a frame in content coordinates (the header of a
    // pull-to-refresh list sits above y = 0). The view owns them and keeps them above the rest
    // of the content.
    void addContentSubview(QWidget* widget, const QRectF& frame);
    void setContentSubviewFrame(QWidget* widget, const QRectF& frame);

signals:
    void didScroll();
    void willBeginDragging();
    void didEndDragging(bool willDecelerate);
    void didEndDecelerating();
    void contentSizeChanged(QSizeF size);

protected:
    void setContentHeight(qreal height);
    // The offset nearest to `y` within the bounds.
    qreal clamped(qreal y) const;
    // At rest: no drag, no momentum, no offset animation.
    bool isAtRest() const;
    // Sets the offset, lays out and tells the delegate; a no-op for the current offset.
    void setOffsetInternal(qreal y);
    void stopScrolling();
    // Places the content for the current offset. Overrides call the base, which places the
    // content subviews.
    virtual void layoutContent();
    // Keeps the content subviews and the scroll indicator above widgets added since.
    void raiseOverlays();

    // Touches, for the subclass: a press on content at rest (`onMovingContent` false) or on
    // moving content (which the press stops); the press turning into a drag or a move; the
    // release of a press that stayed put.
    virtual void touchBegan(QPointF pos, bool onMovingContent);
    virtual void touchCancelled();
    virtual void touchEnded(QPointF pos);

    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool canScrollSideways() const;
    void setOffsetXInternal(qreal x);
    // A sideways drag: whether a move from the press at `pressGlobal` starts one, and following
    // the finger once it has.
    bool startsSidewaysDrag(QPointF pressGlobal, QPointF global) const;
    void dragSideways(QPointF global);

    void startDeceleration(qreal velocity);
    void decelerationStep();
    void flashIndicator();
    qreal releaseVelocity() const;

    ScrollViewDelegate* scrollDelegate_ = nullptr;
    qreal offset_ = 0;
    EdgeInsets inset_;
    qreal contentHeight_ = 0;
    qreal contentWidth_ = 0;  // 0: as wide as the view
    qreal offsetX_ = 0;
    bool scrollEnabled_ = true;
    bool bounces_ = true;
    QList<QPair<QPointer<QWidget>, QRectF>> contentSubviews_;

    // Touch tracking. Main thread only, like everything here.
    bool pressed_ = false;
    bool moved_ = false;
    bool dragging_ = false;
    QPointF pressPos_;
    qreal dragStartOffset_ = 0;  // where the drag would put the content without resistance
    bool draggingSideways_ = false;
    QPointF sidewaysPressGlobal_;
    qreal sidewaysStartOffset_ = 0;
    // A press on a content subview that may turn into a sideways drag.
    QPointer<QWidget> childPressed_;
    QPointF childPressGlobal_;
    bool cancellingChildPress_ = false;
    struct Sample {
        qint64 ms;
        qreal y;
    };
    std::vector<Sample> samples_;
    QElapsedTimer clock_;

    bool decelerating_ = false;
    qreal velocity_ = 0;  // points per second; positive moves towards the end of the content
    qint64 lastStepMs_ = 0;
    QTimer* decelerationTimer_;
    QPointer<QVariantAnimation> offsetAnimation_;
    QPointer<QVariantAnimation> insetAnimation_;
    QWidget* indicator_;
    QTimer* indicatorTimer_;
};

}  // namespace oa
