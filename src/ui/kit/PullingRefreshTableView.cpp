// PullingRefreshTableView: states from the scroll position, starting a load on release (or on
// F5 and the wheel), holding the header or footer open, closing it, and the message strip.
#include "ui/kit/PullingRefreshTableView.h"

#include <QKeySequence>
#include <QLabel>
#include <QPauseAnimation>
#include <QPropertyAnimation>
#include <QSequentialAnimationGroup>
#include <QShortcut>
#include <QWheelEvent>
#include <algorithm>

#include "ui/kit/Fonts.h"

namespace oa {

void PullingRefreshTableViewDelegate::pullingTableViewDidStartLoading(PullingRefreshTableView*) {}

std::optional<QDateTime> PullingRefreshTableViewDelegate::pullingTableViewRefreshingFinishedDate(
    PullingRefreshTableView*) {
    return std::nullopt;
}

std::optional<QDateTime> PullingRefreshTableViewDelegate::pullingTableViewLoadingFinishedDate(
    PullingRefreshTableView*) {
    return std::nullopt;
}

namespace {

constexpr int kOpenMs = 180;
constexpr int kCloseHeaderMs = 360;
constexpr int kCloseFooterMs = 180;
constexpr int kStripHeight = 20;
constexpr int kStripSlideMs = 400;
constexpr int kStripShownMs = 1200;
// Wheel notches further apart than this start a new push.
constexpr qint64 kWheelGestureMs = 400;
constexpr qreal kWheelStep = 48;  // points per notch, as the plain table scrolls

}  // namespace

PullingRefreshTableView::PullingRefreshTableView(PullingRefreshTableViewDelegate* delegate,
                                                 QWidget* parent)
    : TableView(Style::Plain, parent),
      pullingDelegate_(delegate),
      headerView_(new LoadingView(true)),
      footerView_(new LoadingView(false)) {
    addContentSubview(headerView_, {});
    addContentSubview(footerView_, {});
    placeLoadingViews();
    connect(this, &ScrollView::didScroll, this, &PullingRefreshTableView::tableViewDidScroll);
    connect(this, &ScrollView::didEndDragging, this,
            &PullingRefreshTableView::tableViewDidEndDragging);
    connect(this, &ScrollView::contentSizeChanged, this,
            &PullingRefreshTableView::contentSizeDidChange);
    // Only a list in sight answers: the shortcut does nothing while its screen is hidden. F5 and
    // Ctrl+R always refresh, also where the platform's refresh key is another one; a key bound
    // twice would be ambiguous and do nothing.
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Refresh);
    for (const QKeySequence& key : {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)}) {
        if (!keys.contains(key)) {
            keys.append(key);
        }
    }
    auto* shortcut = new QShortcut(this);
    shortcut->setKeys(keys);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, &PullingRefreshTableView::launchRefreshing);
}

PullingRefreshTableView::~PullingRefreshTableView() {
    pullingDelegate_ = nullptr;
}

bool PullingRefreshTableView::isLoading() const {
    // The flags rather than the states: a footer put at the end while it loads is still loading
    // until the owner says it has finished.
    return headerView_->isLoading() || footerView_->isLoading();
}

qreal PullingRefreshTableView::footerTop() const {
    return std::max(contentHeight(), qreal(height()));
}

void PullingRefreshTableView::placeLoadingViews() {
    const qreal w = width();
    const qreal h = height();
    setContentSubviewFrame(headerView_, QRectF(0, -h, w, h));
    setContentSubviewFrame(footerView_, QRectF(0, footerTop(), w, h));
    if (msgLabel_) {
        msgLabel_->resize(width(), kStripHeight);
    }
}

void PullingRefreshTableView::resizeEvent(QResizeEvent* event) {
    TableView::resizeEvent(event);
    placeLoadingViews();
}

void PullingRefreshTableView::layoutContent() {
    TableView::layoutContent();
    if (msgLabel_) {
        msgLabel_->raise();
    }
}

void PullingRefreshTableView::contentSizeDidChange() {
    placeLoadingViews();
    if (isFooterInAction_ && isAtRest()) {
        // One point down brings rows a footer load added into view; never past the end.
        const qreal y = contentOffset();
        setOffsetInternal(std::max(y, std::min(y + 1, maximumContentOffset())));
    }
}

void PullingRefreshTableView::setReachedTheEnd(bool reached) {
    reachedTheEnd_ = reached;
    footerView_->setState(reached ? LoadingView::kEnd : LoadingView::kNormal);
}

void PullingRefreshTableView::setHeaderOnly(bool headerOnly) {
    headerOnly_ = headerOnly;
    footerView_->setHidden(headerOnly);
}

void PullingRefreshTableView::setClock(LoadingView::Clock clock) {
    clock_ = clock;
    headerView_->setClock(clock);
    footerView_->setClock(std::move(clock));
}

QDateTime PullingRefreshTableView::now() const {
    return clock_ ? clock_() : QDateTime::currentDateTime();
}

void PullingRefreshTableView::tableViewDidScroll() {
    if (isLoading()) {
        return;
    }
    const qreal y = contentOffset();
    if (y < -kPullDistance) {
        headerView_->setState(LoadingView::kPulling);
        return;
    }
    if (y > -kPullDistance && y < 0) {
        headerView_->setState(LoadingView::kNormal);
        return;
    }
    // How far the footer has come up into the table. The footer sits at the table's bottom
    // edge when the rows are shorter than the table, so a list of a few rows needs the same
    // pull as a long one.
    const qreal d = height() + y - footerTop();
    if (footerView_->state() == LoadingView::kEnd) {
        return;
    }
    if (d > kPullDistance) {
        footerView_->setState(LoadingView::kPulling);
    } else if (d > 0 && d < kPullDistance) {
        footerView_->setState(LoadingView::kNormal);
    }
}

void PullingRefreshTableView::tableViewDidEndDragging() {
    if (isLoading()) {
        return;
    }
    if (headerView_->state() == LoadingView::kPulling) {
        isFooterInAction_ = false;
        headerView_->setState(LoadingView::kLoading);
        // At once: the content is already pulled that far, and springs back to the open header.
        animateContentInset({kPullDistance, 0}, 0);
        if (pullingDelegate_) {
            pullingDelegate_->pullingTableViewDidStartRefreshing(this);
        }
        return;
    }
    if (footerView_->state() == LoadingView::kPulling && !reachedTheEnd_ && !headerOnly_) {
        isFooterInAction_ = true;
        footerView_->setState(LoadingView::kLoading);
        animateContentInset({0, kPullDistance}, 0);
        if (pullingDelegate_) {
            pullingDelegate_->pullingTableViewDidStartLoading(this);
        }
    }
}

void PullingRefreshTableView::tableViewDidFinishedLoading() {
    tableViewDidFinishedLoadingWithMessage({});
}

void PullingRefreshTableView::tableViewDidFinishedLoadingWithMessage(const QString& message) {
    LoadingView* view = nullptr;
    std::optional<QDateTime> date;
    int closeMs = 0;
    if (headerView_->isLoading()) {
        view = headerView_;
        headerView_->setLoading(false);
        headerView_->setState(LoadingView::kNormal, false);
        if (pullingDelegate_) {
            date = pullingDelegate_->pullingTableViewRefreshingFinishedDate(this);
        }
        closeMs = kCloseHeaderMs;
    } else if (footerView_->isLoading()) {
        view = footerView_;
        footerView_->setLoading(false);
        // The end reached while the footer loaded stays: only setReachedTheEnd(false) leaves it.
        footerView_->setState(reachedTheEnd_ ? LoadingView::kEnd : LoadingView::kNormal, false);
        if (pullingDelegate_) {
            date = pullingDelegate_->pullingTableViewLoadingFinishedDate(this);
        }
        closeMs = kCloseFooterMs;
    } else {
        return;
    }
    view->updateRefreshDate(date.value_or(now()));
    animateContentInset({}, closeMs, [this, message] {
        if (!message.isEmpty()) {
            flashMessage(message);
        }
    });
}

void PullingRefreshTableView::launchRefreshing() {
    if (isLoading()) {
        return;
    }
    setContentOffset(0);
    animateContentOffset(-(kPullDistance + 1), kOpenMs, [this] {
        const QPointer<PullingRefreshTableView> self(this);
        tableViewDidEndDragging();
        // The delegate may have closed the screen, table and all.
        if (self && headerView_->isLoading()) {
            animateContentOffset(-kPullDistance, kOpenMs);
        }
    });
}

void PullingRefreshTableView::wheelEvent(QWheelEvent* event) {
    qreal delta = event->pixelDelta().y();
    if (delta == 0) {
        delta = event->angleDelta().y() / 120.0 * kWheelStep;
    }
    if (!isScrollEnabled() || isDragging() || delta == 0) {
        TableView::wheelEvent(event);
        return;
    }
    if (!lastWheel_.isValid() || lastWheel_.elapsed() > kWheelGestureMs ||
        (wheelPush_ > 0) != (delta > 0)) {
        wheelPush_ = 0;
    }
    lastWheel_.restart();
    // What the wheel would do without ends: the part of it that goes past an end pushes.
    const qreal wanted = contentOffset() - delta;
    qreal push = 0;
    if (delta > 0 && wanted < minimumContentOffset()) {
        push = std::min(delta, minimumContentOffset() - wanted);
    } else if (delta < 0 && wanted > maximumContentOffset()) {
        push = -std::min(-delta, wanted - maximumContentOffset());
    }
    if (push == 0) {
        wheelPush_ = 0;
    }
    TableView::wheelEvent(event);
    event->accept();
    wheelPush_ += push;
    if (wheelPush_ > kPullDistance) {
        wheelPush_ = 0;
        wheelPull(true);
    } else if (wheelPush_ < -kPullDistance) {
        wheelPush_ = 0;
        wheelPull(false);
    }
}

void PullingRefreshTableView::wheelPull(bool atTop) {
    if (isLoading()) {
        return;
    }
    if (atTop) {
        headerView_->setState(LoadingView::kPulling);
    } else if (footerView_->state() != LoadingView::kEnd) {
        footerView_->setState(LoadingView::kPulling);
    }
    const QPointer<PullingRefreshTableView> self(this);
    tableViewDidEndDragging();
    if (!self) {
        return;
    }
    // The wheel does not move the content past the end, so the open header or footer is
    // scrolled into sight.
    if (headerView_->isLoading()) {
        animateContentOffset(-kPullDistance, kOpenMs);
    } else if (footerView_->isLoading()) {
        const qreal end = std::max(0.0, contentHeight() + kPullDistance - height());
        animateContentOffset(end, kOpenMs);
    } else if (atTop) {
        headerView_->setState(LoadingView::kNormal);
    } else if (footerView_->state() == LoadingView::kPulling) {
        footerView_->setState(LoadingView::kNormal);
    }
}

void PullingRefreshTableView::finishLoadingOrFlash(const QString& text) {
    if (isLoading()) {
        tableViewDidFinishedLoadingWithMessage(text);
    } else {
        flashMessage(text);
    }
}

void PullingRefreshTableView::flashMessage(const QString& text) {
    if (msgAnimation_) {
        msgAnimation_->stop();
        delete msgAnimation_;
    }
    if (!msgLabel_) {
        msgLabel_ = new QLabel(this);
        msgLabel_->setObjectName(QStringLiteral("pullingMessage"));
        msgLabel_->setFont(systemFont(14));
        msgLabel_->setAlignment(Qt::AlignCenter);
        msgLabel_->setAutoFillBackground(true);
        QPalette palette = msgLabel_->palette();
        palette.setColor(QPalette::Window, QColor(255, 165, 0));
        msgLabel_->setPalette(palette);
        msgLabel_->setGeometry(0, -kStripHeight, width(), kStripHeight);
        msgLabel_->show();
    }
    msgLabel_->setText(text);
    msgLabel_->raise();

    auto* group = new QSequentialAnimationGroup(this);
    auto* in = new QPropertyAnimation(msgLabel_, "pos", group);
    in->setDuration(kStripSlideMs);
    in->setStartValue(msgLabel_->pos());
    in->setEndValue(QPoint(0, 0));
    group->addAnimation(in);
    group->addPause(kStripShownMs);
    auto* out = new QPropertyAnimation(msgLabel_, "pos", group);
    out->setDuration(kStripSlideMs);
    out->setStartValue(QPoint(0, 0));
    out->setEndValue(QPoint(0, -kStripHeight));
    group->addAnimation(out);
    QPointer<QLabel> strip = msgLabel_;
    connect(group, &QAbstractAnimation::finished, this, [this, strip] {
        if (strip) {
            strip->deleteLater();
        }
        if (msgLabel_ == strip) {
            msgLabel_ = nullptr;
        }
    });
    msgAnimation_ = group;
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace oa
