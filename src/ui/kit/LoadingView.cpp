// LoadingView: the texts of each state, the arrow and spinner, their places at either edge, and
// the last-update text.
#include "ui/kit/LoadingView.h"

#include <QLabel>
#include <QPainter>
#include <QVariantAnimation>

#include "ui/kit/ActivityIndicatorView.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"

namespace oa {

namespace {

constexpr int kTurnMs = 180;
const QColor kBackground(226, 231, 237);
const QColor kTextColour(87, 108, 137);

// Whole months and the days left over from `from` to `to`; both negative when `to` lies
// earlier.
struct Span {
    int months = 0;
    qint64 days = 0;
};

Span spanBetween(QDate from, QDate to) {
    if (to < from) {
        const Span back = spanBetween(to, from);
        return {-back.months, -back.days};
    }
    int months = (to.year() - from.year()) * 12 + to.month() - from.month();
    if (from.addMonths(months) > to) {
        --months;
    }
    return {months, from.addMonths(months).daysTo(to)};
}

}  // namespace

// The arrow image, turned about its centre; the turn can be animated.
class PullArrow : public QWidget {
public:
    PullArrow(const QString& imageName, QWidget* parent)
        : QWidget(parent), pixmap_(image(imageName)) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    bool isTurned() const { return turned_; }

    void setTurned(bool turned, bool animated) {
        delete animation_;
        animation_ = nullptr;
        turned_ = turned;
        const qreal target = turned ? 180 : 0;
        if (!animated || angle_ == target) {
            angle_ = target;
            update();
            return;
        }
        animation_ = new QVariantAnimation(this);
        animation_->setStartValue(angle_);
        animation_->setEndValue(target);
        animation_->setDuration(kTurnMs);
        connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
            angle_ = v.toReal();
            update();
        });
        animation_->start();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (pixmap_.isNull()) {
            return;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.translate(width() / 2.0, height() / 2.0);
        painter.rotate(angle_);
        const QRectF target(-width() / 2.0, -height() / 2.0, width(), height());
        painter.drawPixmap(target, pixmap_, QRectF(QPointF(0, 0), pixmap_.size()));
    }

private:
    QPixmap pixmap_;
    bool turned_ = false;
    qreal angle_ = 0;
    QVariantAnimation* animation_ = nullptr;
};

LoadingView::LoadingView(bool atTop, QWidget* parent)
    : QWidget(parent),
      atTop_(atTop),
      stateLabel_(new QLabel(this)),
      dateLabel_(new QLabel(this)),
      arrow_(new PullArrow(
          atTop ? QStringLiteral("blueArrow.png") : QStringLiteral("blueArrowDown"), this)),
      activity_(new ActivityIndicatorView(this)) {
    setAutoFillBackground(false);
    for (QLabel* label : {stateLabel_, dateLabel_}) {
        label->setFont(systemFont(12));
        label->setAlignment(Qt::AlignCenter);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, kTextColour);
        label->setPalette(palette);
        label->setAttribute(Qt::WA_TranslucentBackground);
    }
    activity_->setColor(Qt::gray);
    setStateText(QStringLiteral("下拉刷新"));
    layouts();
}

void LoadingView::setAtTop(bool atTop) {
    atTop_ = atTop;
    layouts();
}

void LoadingView::layouts() {
    const int h = height();
    const int w = width();
    const int textTop = atTop_ ? h - 50 : 10;
    stateLabel_->setGeometry(0, textTop, w, 20);
    dateLabel_->setGeometry(0, textTop + 20, w, 20);
    arrow_->setGeometry(20, textTop, 20, 40);
    arrow_->setTurned(false, false);
    const QSize spinner = activity_->sizeHint();
    activity_->setGeometry(
        QRect(QPoint(0, 0), spinner)
            .translated(arrow_->geometry().center() - QRect(QPoint(0, 0), spinner).center()));
    if (!atTop_) {
        setStateText(QStringLiteral("上拉加载"));
    }
}

void LoadingView::setStateText(const QString& text) {
    stateLabel_->setText(text);
}

void LoadingView::setState(int state, bool animated) {
    if (state == state_) {
        return;
    }
    state_ = state;
    switch (state) {
        case kNormal:
        case kPulling:
            if (loading_) {
                return;
            }
            arrow_->show();
            activity_->stopAnimating();
            arrow_->setTurned(state == kPulling, animated);
            if (state == kNormal) {
                setStateText(atTop_ ? QStringLiteral("下拉刷新") : QStringLiteral("上拉加载更多"));
            } else {
                setStateText(atTop_ ? QStringLiteral("释放刷新") : QStringLiteral("释放加载更多"));
            }
            break;
        case kLoading:
            arrow_->hide();
            activity_->startAnimating();
            loading_ = true;
            setStateText(atTop_ ? QStringLiteral("正在刷新") : QStringLiteral("正在加载"));
            break;
        case kEnd:
            if (!atTop_) {
                arrow_->hide();
                activity_->stopAnimating();
                setStateText(QStringLiteral("没有了哦"));
            }
            break;
        default:
            break;
    }
}

void LoadingView::setClock(Clock clock) {
    clock_ = std::move(clock);
}

QDateTime LoadingView::now() const {
    return clock_ ? clock_() : QDateTime::currentDateTime();
}

void LoadingView::updateRefreshDate(const QDateTime& date) {
    const QDateTime current = now();
    dateLabel_->setText(lastUpdateText(date.isValid() ? date : current, current));
}

QString LoadingView::lastUpdateText(const QDateTime& date, const QDateTime& now) {
    const QDateTime local = date.toLocalTime();
    // Calendar days, not 24-hour spans: at 00:10 an update of 23:50 was yesterday.
    const Span span = spanBetween(local.date(), now.toLocalTime().date());
    QString when = local.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    if (span.months == 0 && span.days <= 2) {
        const QString word = span.days == 2   ? QStringLiteral("前天")
                             : span.days == 1 ? QStringLiteral("昨天")
                                              : QStringLiteral("今天");
        when = QStringLiteral("%1 %2").arg(word, local.toString(QStringLiteral("HH:mm")));
    }
    return QStringLiteral("%1: %2").arg(QStringLiteral("最后更新"), when);
}

QString LoadingView::stateText() const {
    return stateLabel_->text();
}

QString LoadingView::dateText() const {
    return dateLabel_->text();
}

bool LoadingView::isArrowVisible() const {
    return !arrow_->isHidden();
}

bool LoadingView::isArrowTurned() const {
    return arrow_->isTurned();
}

bool LoadingView::isSpinnerRunning() const {
    return activity_->isAnimating();
}

void LoadingView::resizeEvent(QResizeEvent*) {
    const QString text = stateLabel_->text();
    layouts();
    // Laying out again after creation keeps what the state shows.
    setStateText(text);
    arrow_->setTurned(state_ == kPulling && !loading_, false);
}

void LoadingView::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), kBackground);
}

}  // namespace oa
