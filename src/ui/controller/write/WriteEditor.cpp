// WriteEditor: the keyboard moves shared by the editors.
#include "ui/controller/write/WriteEditor.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QMouseEvent>
#include <QPropertyAnimation>

#include <algorithm>

#include "ui/kit/TextField.h"
#include "ui/kit/TextView.h"

namespace oa {

namespace {

// Room kept between the field being edited and the keyboard or the screen's bottom.
constexpr int kSightMargin = 8;

}  // namespace

WriteEditor::WriteEditor(QWidget* parent) : QWidget(parent) {}

void WriteEditor::mousePressEvent(QMouseEvent* event) {
    TextView::endEditing(this);
    QWidget::mousePressEvent(event);
}

void WriteEditor::keepInSightWhileEditing(TextView* field) {
    connect(field, &TextView::didBeginEditing, this,
            [this, field] { moveForKeyboard(offsetShowing(field)); });
    connect(field, &TextView::didEndEditing, this, [this] { moveForKeyboard(0); });
}

void WriteEditor::keepInSightWhileEditing(TextField* field) {
    connect(field, &TextField::didBeginEditing, this,
            [this, field] { moveForKeyboard(offsetShowing(field)); });
    connect(field, &TextField::didEndEditing, this, [this] { moveForKeyboard(0); });
}

int WriteEditor::offsetShowing(const QWidget* field) const {
    const QWidget* host = parentWidget();
    if (!host) {
        return 0;
    }
    // The editor's bottom edge stays where it is while it moves.
    int visibleBottom = std::min(host->height(), geometry().bottom() + 1);
    const QInputMethod* input = QGuiApplication::inputMethod();
    const QRect keyboard = input->keyboardRectangle().toRect();
    if (input->isVisible() && !keyboard.isEmpty()) {
        visibleBottom =
            std::min(visibleBottom, host->mapFrom(host->window(), keyboard.topLeft()).y());
    }
    // Where the field is with the editor at rest.
    const int top = field->mapTo(this, QPoint(0, 0)).y();
    const int over = top + field->height() + kSightMargin - visibleBottom;
    return -std::clamp(over, 0, std::max(0, top - kSightMargin));
}

void WriteEditor::moveForKeyboard(int y) {
    if (move_) {
        move_->stop();
    }
    const QRect target(x(), y, width(), std::max(0, geometry().bottom() + 1 - y));
    if (geometry() == target) {
        return;
    }
    auto* animation = new QPropertyAnimation(this, "geometry", this);
    animation->setDuration(300);
    animation->setEndValue(target);
    move_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace oa
