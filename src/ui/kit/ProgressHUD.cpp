// ProgressHUD: the state machine on the main loop, the choice of window, and the drawing of the
// box, spinner, tick and cross.
#include "ui/kit/ProgressHUD.h"

#include <QAccessible>
#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "core/platform/MainLoop.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/ViewController.h"
#include "ui/kit/Window.h"

namespace oa {

namespace {

constexpr int kMinimumSide = 100;
constexpr int kMaximumTextWidth = 240;
constexpr int kPadding = 12;
constexpr int kIconSide = 28;
constexpr int kSpinnerSpokes = 12;
constexpr int kSpinnerStepMs = 80;
constexpr int kFadeMs = 150;

// What the class operations set. Main thread only.
struct Shared {
    ProgressHUD::State state = ProgressHUD::State::Hidden;
    QString status;
    std::optional<double> progress;
    TimerHandle autoDismiss;
    QPointer<ProgressHUD> widget;
};

Shared& shared() {
    static Shared value;
    return value;
}

// Runs `task` on the main thread: now when already there, else through the main loop (or,
// before one is set, through the application's event queue).
void onMainThread(Task task) {
    if (MainLoop::hasMain()) {
        if (MainLoop::main().isMainThread()) {
            task();
        } else {
            MainLoop::main().post(std::move(task));
        }
        return;
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        task();
    } else {
        QMetaObject::invokeMethod(app, std::move(task), Qt::QueuedConnection);
    }
}

QFont statusFont() {
    return boldSystemFont(16);
}

}  // namespace

void ProgressHUD::showWithStatus(const QString& status) {
    onMainThread([status] { apply(State::Busy, status); });
}

void ProgressHUD::showProgress(double fraction, const QString& status) {
    const double clamped = std::isnan(fraction) ? 0.0 : std::clamp(fraction, 0.0, 1.0);
    onMainThread([clamped, status] { apply(State::Busy, status, clamped); });
}

void ProgressHUD::dismiss() {
    onMainThread([] { apply(State::Hidden, {}); });
}

void ProgressHUD::dismissWithSuccess(const QString& status) {
    onMainThread([status] { apply(State::Success, status); });
}

void ProgressHUD::dismissWithError(const QString& status) {
    onMainThread([status] { apply(State::Error, status); });
}

ProgressHUD::State ProgressHUD::state() {
    return shared().state;
}

QString ProgressHUD::status() {
    return shared().status;
}

std::optional<double> ProgressHUD::progress() {
    return shared().progress;
}

ProgressHUD* ProgressHUD::instance() {
    return shared().widget;
}

std::chrono::milliseconds ProgressHUD::displayDuration(const QString& status) {
    const std::chrono::milliseconds wanted(1000 + 70 * static_cast<long long>(status.size()));
    return std::clamp(wanted, std::chrono::milliseconds(1500), std::chrono::milliseconds(4000));
}

void ProgressHUD::resetForTesting() {
    Shared& s = shared();
    s.autoDismiss.cancel();
    s.state = State::Hidden;
    s.status.clear();
    s.progress.reset();
    delete s.widget;
}

void ProgressHUD::apply(State state, const QString& status, std::optional<double> progress) {
    Shared& s = shared();
    s.autoDismiss.cancel();
    s.autoDismiss = {};
    if (state == State::Hidden && s.state == State::Hidden) {
        return;
    }
    s.state = state;
    s.status = state == State::Hidden ? QString() : status;
    s.progress = state == State::Busy ? progress : std::nullopt;
    if (state == State::Success || state == State::Error) {
        // A later show or dismiss cancels this; the handle is checked when the timer fires.
        if (MainLoop::hasMain()) {
            s.autoDismiss = MainLoop::main().schedule(displayDuration(status),
                                                      [] { apply(State::Hidden, {}); });
        }
    }

    QWidget* host = hostWindow();
    if (state != State::Hidden && host && !s.widget) {
        s.widget = new ProgressHUD(host);
    }
    if (!s.widget) {
        return;
    }
    if (host && s.widget->parentWidget() != host) {
        s.widget->setParent(host);
    }
    if (state == State::Hidden) {
        s.widget->fadeOut();
    } else {
        const bool shownAlready = s.widget->isVisible();
        const bool newText = s.widget->shownStatus_ != s.status;
        s.widget->present(state, s.status, s.progress);
        // A screen reader speaks a notification as it shows; a new text on the indicator that
        // shows already ("成功" after "正在登录中...") is shown anew for it. Progress alone is not.
        if (shownAlready && newText && !s.status.isEmpty()) {
            QAccessibleEvent shown(s.widget, QAccessible::ObjectShow);
            QAccessible::updateAccessibility(&shown);
        }
    }
}

QWidget* ProgressHUD::hostWindow() {
    // The window the user is looking at: the active one, else the last phone window shown, else
    // any visible top-level widget.
    if (QWidget* active = QApplication::activeWindow(); active && active->isVisible()) {
        return active;
    }
    QWidget* fallback = nullptr;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (!window->isVisible() || window->windowType() == Qt::ToolTip ||
            window->windowType() == Qt::Popup) {
            continue;
        }
        if (qobject_cast<Window*>(window)) {
            fallback = window;
        } else if (!fallback) {
            fallback = window;
        }
    }
    return fallback;
}

ProgressHUD::ProgressHUD(QWidget* host)
    : QWidget(host), spinner_(new QTimer(this)), opacity_(new QGraphicsOpacityEffect(this)) {
    setObjectName(QStringLiteral("progressHUD"));
    // Taps go through to the screen: the indicator only informs.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGraphicsEffect(opacity_);
    spinner_->setInterval(kSpinnerStepMs);
    connect(spinner_, &QTimer::timeout, this, [this] {
        spinnerStep_ = (spinnerStep_ + 1) % kSpinnerSpokes;
        update();
    });
    hide();
}

void ProgressHUD::present(State state, const QString& status, std::optional<double> progress) {
    if (fade_) {
        fade_->stop();
    }
    opacity_->setOpacity(1);
    shownState_ = state;
    shownStatus_ = status;
    shownProgress_ = progress;
    if (state == State::Busy && !progress) {
        spinner_->start();
    } else {
        spinner_->stop();
    }
    layoutBox();
    show();
    raise();
    update();
}

void ProgressHUD::fadeOut() {
    spinner_->stop();
    if (!isVisible()) {
        shownState_ = State::Hidden;
        return;
    }
    auto* fade = new QPropertyAnimation(opacity_, "opacity", this);
    fade->setDuration(kFadeMs);
    fade->setStartValue(opacity_->opacity());
    fade->setEndValue(0.0);
    connect(fade, &QPropertyAnimation::finished, this, [this] {
        hide();
        shownState_ = State::Hidden;
    });
    fade_ = fade;
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void ProgressHUD::layoutBox() {
    const QWidget* host = parentWidget();
    if (!host) {
        return;
    }
    int width = kMinimumSide;
    int height = kMinimumSide;
    if (!shownStatus_.isEmpty()) {
        const QRect text = QFontMetrics(statusFont())
                               .boundingRect(QRect(0, 0, kMaximumTextWidth, 1000),
                                             Qt::AlignHCenter | Qt::TextWordWrap, shownStatus_);
        width = std::max(kMinimumSide, text.width() + 2 * kPadding);
        height = std::max(kMinimumSide, 2 * kPadding + kIconSide + 10 + text.height() + 6);
    }
    setGeometry((host->width() - width) / 2, (host->height() - height) / 2, width, height);
}

void ProgressHUD::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 190));
    painter.drawRoundedRect(QRectF(rect()), 10, 10);

    const bool withText = !shownStatus_.isEmpty();
    const QPointF centre(width() / 2.0, withText ? kPadding + 6 + kIconSide / 2.0 : height() / 2.0);
    const qreal r = kIconSide / 2.0;
    switch (shownState_) {
        case State::Busy:
            if (shownProgress_) {
                // A faint full ring, the part done in white over it, the percentage inside.
                const QRectF ring(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
                painter.setBrush(Qt::NoBrush);
                painter.setPen(QPen(QColor(255, 255, 255, 70), 3));
                painter.drawEllipse(ring);
                painter.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::FlatCap));
                painter.drawArc(ring, 90 * 16,
                                -static_cast<int>(std::lround(*shownProgress_ * 5760)));
                painter.setFont(boldSystemFont(9));
                painter.drawText(ring, Qt::AlignCenter,
                                 QStringLiteral("%1%").arg(std::lround(*shownProgress_ * 100)));
                break;
            }
            // Twelve spokes, the leading one brightest, the trail fading behind it.
            for (int i = 0; i < kSpinnerSpokes; ++i) {
                const int age = (spinnerStep_ - i + kSpinnerSpokes) % kSpinnerSpokes;
                painter.save();
                painter.translate(centre);
                painter.rotate(i * 360.0 / kSpinnerSpokes);
                painter.setBrush(QColor(255, 255, 255, 255 - age * 18));
                painter.drawRoundedRect(QRectF(-1.5, -r, 3, r * 0.55), 1.5, 1.5);
                painter.restore();
            }
            break;
        case State::Success: {
            QPainterPath tick;
            tick.moveTo(centre + QPointF(-r * 0.75, 0));
            tick.lineTo(centre + QPointF(-r * 0.2, r * 0.6));
            tick.lineTo(centre + QPointF(r * 0.8, -r * 0.6));
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPath(tick);
            break;
        }
        case State::Error: {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
            const qreal k = r * 0.65;
            painter.drawLine(centre + QPointF(-k, -k), centre + QPointF(k, k));
            painter.drawLine(centre + QPointF(k, -k), centre + QPointF(-k, k));
            break;
        }
        case State::Hidden:
            break;
    }
    if (withText) {
        painter.setPen(Qt::white);
        painter.setFont(statusFont());
        const QRect box(kPadding, kPadding + kIconSide + 16, width() - 2 * kPadding,
                        height() - kPadding - kIconSide - 16 - 6);
        painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, shownStatus_);
    }
}

}  // namespace oa
