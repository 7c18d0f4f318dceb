// WriteEditor: the keyboard moves shared by the editors.
#include "ui/controller/write/WriteEditor.h"

#include <QPropertyAnimation>

#include "ui/kit/TextView.h"

namespace oa {

WriteEditor::WriteEditor(QWidget* parent) : QWidget(parent) {}

void WriteEditor::endEditingOnReturn(TextView* text) {
    text->setShouldChangeText([this](TextView* view, int, int, const QString& replacement) {
        if (replacement == QLatin1String("\n")) {
            view->resignFirstResponder();
            moveForKeyboard(0);
            return false;
        }
        if (replacement.contains(QLatin1Char('\n')) || replacement.contains(QLatin1Char('\r'))) {
            QString flat = replacement;
            flat.replace(QLatin1String("\r\n"), QLatin1String(" "));
            flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
            flat.replace(QLatin1Char('\r'), QLatin1Char(' '));
            view->insertPlainText(flat);
            return false;
        }
        return true;
    });
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
