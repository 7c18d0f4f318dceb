// WriteEditor: the keyboard moves shared by the editors.
#include "ui/controller/write/WriteEditor.h"

#include <QMouseEvent>
#include <QPropertyAnimation>

#include "ui/kit/TextView.h"

namespace oa {

WriteEditor::WriteEditor(QWidget* parent) : QWidget(parent) {}

void WriteEditor::mousePressEvent(QMouseEvent* event) {
    TextView::endEditing(this);
    QWidget::mousePressEvent(event);
}

void WriteEditor::moveForKeyboard(int y) {
    if (move_) {
        move_->stop();
    }
    if (pos().y() == y) {
        return;
    }
    auto* animation = new QPropertyAnimation(this, "pos", this);
    animation->setDuration(300);
    animation->setEndValue(QPoint(x(), y));
    move_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace oa
