// The timers run on the main loop so that tests move time on a virtual clock.
#include "ui/kit/LongPressButton.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"

namespace oa {

namespace {

constexpr Duration kFlashLength{150};

}  // namespace

LongPressButton::LongPressButton(const QString& title, const QString& imageName, QWidget* parent)
    : QWidget(parent), title_(title), imageName_(imageName) {
    setAttribute(Qt::WA_Hover, false);
}

LongPressButton::~LongPressButton() {
    cancelTimers();
}

void LongPressButton::addTarget(QObject* target, std::function<void()> action, int event) {
    TargetObject entry{target, std::move(action)};
    if (event == kReleaseEvent) {
        releaseTarget_ = std::move(entry);
    } else {
        longPressTarget_ = std::move(entry);
    }
}

void LongPressButton::setImageName(const QString& name) {
    imageName_ = name;
    update();
}

void LongPressButton::flash() {
    flashTimer_.cancel();
    flashing_ = true;
    update();
    QPointer<LongPressButton> self(this);
    flashTimer_ = MainLoop::main().schedule(kFlashLength, [self] {
        if (self) {
            self->flashing_ = false;
            self->update();
        }
    });
}

void LongPressButton::fire(const TargetObject& target) {
    if (target.target && target.action) {
        target.action();
    }
}

void LongPressButton::cancelTimers() {
    pressTimer_.cancel();
    flashTimer_.cancel();
}

void LongPressButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || held_) {
        event->ignore();
        return;
    }
    held_ = true;
    longPressed_ = false;
    QPointer<LongPressButton> self(this);
    pressTimer_ = MainLoop::main().schedule(kLongPressDelay, [self] {
        if (self && self->held_ && !self->longPressed_) {
            self->longPressed_ = true;
            fire(self->longPressTarget_);
        }
    });
    event->accept();
}

void LongPressButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !held_) {
        event->ignore();
        return;
    }
    // The widget keeps the mouse from the press on, so a release outside the button lands here
    // too.
    held_ = false;
    pressTimer_.cancel();
    longPressed_ = false;
    event->accept();
    fire(releaseTarget_);
}

void LongPressButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPixmap background = image(imageName_);
    if (!background.isNull()) {
        painter.drawPixmap(rect(), background);
    }
    painter.setFont(systemFont(kFontSize));
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, title_);
    if (flashing_) {
        painter.fillRect(rect(), QColor(255, 255, 255, 140));
    }
}

}  // namespace oa
