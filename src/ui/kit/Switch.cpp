// Switch: the knob's slide and the drawing of track, labels and knob.
#include "ui/kit/Switch.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace oa {

namespace {
constexpr int kSlideMs = 180;
const QColor kOnTop(0x0a, 0x6e, 0xd8);
const QColor kOnBottom(0x3a, 0x96, 0xf0);
const QColor kOffTop(0xe6, 0xe6, 0xe6);
const QColor kOffBottom(0xfa, 0xfa, 0xfa);
}  // namespace

Switch::Switch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    resize(kSize);
    connect(this, &QAbstractButton::clicked, this, [this](bool on) { emit valueChanged(on); });
}

void Switch::setOn(bool on, bool animated) {
    if (on == isChecked()) {
        return;
    }
    animateNext_ = animated;
    setChecked(on);  // through checkStateSet, which moves the knob
    animateNext_ = false;
}

void Switch::nextCheckState() {
    QAbstractButton::nextCheckState();
    moveKnob(true);
}

void Switch::checkStateSet() {
    // Called for setChecked, but not for the change a click makes (nextCheckState).
    moveKnob(animateNext_);
}

void Switch::moveKnob(bool animated) {
    const qreal target = isChecked() ? 1 : 0;
    if (slide_) {
        slide_->stop();
    }
    if (!animated || !isVisible()) {
        knob_ = target;
        update();
        return;
    }
    auto* slide = new QVariantAnimation(this);
    slide->setDuration(kSlideMs);
    slide->setStartValue(knob_);
    slide->setEndValue(target);
    slide->setEasingCurve(QEasingCurve::OutCubic);
    connect(slide, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        knob_ = value.toReal();
        update();
    });
    slide_ = slide;
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

void Switch::keyPressEvent(QKeyEvent* event) {
    // Enter turns it as Space does: a form has no default button to take Enter.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void Switch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = track.height() / 2;
    const qreal knobSide = track.height();
    const qreal knobX = track.left() + knob_ * (track.width() - knobSide);

    QPainterPath pill;
    pill.addRoundedRect(track, radius, radius);
    painter.save();
    painter.setClipPath(pill);
    // The blue part lies left of the knob, the grey part right of it, so both slide with it.
    QLinearGradient on(0, 0, 0, height());
    on.setColorAt(0, isEnabled() ? kOnTop : kOnTop.lighter(150));
    on.setColorAt(1, isEnabled() ? kOnBottom : kOnBottom.lighter(150));
    painter.fillRect(QRectF(track.left(), 0, knobX + knobSide / 2, height()), on);
    QLinearGradient off(0, 0, 0, height());
    off.setColorAt(0, kOffTop);
    off.setColorAt(1, kOffBottom);
    painter.fillRect(QRectF(knobX + knobSide / 2, 0, width(), height()), off);
    // Marks: a bar for on, a ring for off, each centred in its half.
    const qreal halfWidth = track.width() - knobSide;
    painter.setPen(QPen(Qt::white, 2));
    const qreal onCentre = knobX - halfWidth / 2;
    painter.drawLine(QPointF(onCentre, height() / 2.0 - 6), QPointF(onCentre, height() / 2.0 + 6));
    painter.setPen(QPen(QColor(0x8a, 0x8a, 0x8a), 2));
    painter.setBrush(Qt::NoBrush);
    const qreal offCentre = knobX + knobSide + halfWidth / 2;
    painter.drawEllipse(QPointF(offCentre, height() / 2.0), 5, 5);
    painter.restore();

    painter.setPen(QPen(QColor(0, 0, 0, 70), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(pill);

    QLinearGradient knob(0, 0, 0, height());
    knob.setColorAt(0, isDown() ? QColor(0xdd, 0xdd, 0xdd) : QColor(0xfd, 0xfd, 0xfd));
    knob.setColorAt(1, QColor(0xd0, 0xd0, 0xd0));
    painter.setBrush(knob);
    painter.setPen(QPen(QColor(0, 0, 0, 80), 1));
    painter.drawEllipse(
        QRectF(knobX, track.top(), knobSide, knobSide).adjusted(0.5, 0.5, -0.5, -0.5));
    if (hasFocus()) {
        painter.setPen(QPen(QColor(0x3a, 0x96, 0xf0, 160), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(track.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    }
}

}  // namespace oa
