// ActivityIndicatorView: a timer that turns the spokes, and their drawing.
#include "ui/kit/ActivityIndicatorView.h"

#include <QPainter>
#include <QTimer>
#include <algorithm>

namespace oa {

namespace {

constexpr int kSpokes = 12;
constexpr int kStepMs = 80;

}  // namespace

ActivityIndicatorView::ActivityIndicatorView(QWidget* parent)
    : QWidget(parent), timer_(new QTimer(this)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    timer_->setInterval(kStepMs);
    connect(timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % kSpokes;
        update();
    });
    hide();
}

void ActivityIndicatorView::startAnimating() {
    timer_->start();
    show();
}

void ActivityIndicatorView::stopAnimating() {
    timer_->stop();
    hide();
}

bool ActivityIndicatorView::isAnimating() const {
    return timer_->isActive();
}

void ActivityIndicatorView::setColor(const QColor& colour) {
    color_ = colour;
    update();
}

void ActivityIndicatorView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const qreal radius = std::min(width(), height()) / 2.0;
    painter.translate(width() / 2.0, height() / 2.0);
    for (int i = 0; i < kSpokes; ++i) {
        // The leading spoke is the darkest; the ones behind it fade.
        const int age = (step_ - i + kSpokes) % kSpokes;
        QColor spoke = color_;
        spoke.setAlphaF(std::max(0.15, 1.0 - age / double(kSpokes)));
        painter.save();
        painter.rotate(i * 360.0 / kSpokes);
        painter.setBrush(spoke);
        painter.drawRoundedRect(QRectF(-1, -radius, 2, radius * 0.5), 1, 1);
        painter.restore();
    }
}

}  // namespace oa
