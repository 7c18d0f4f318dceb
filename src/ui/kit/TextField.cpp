// TextField: style sheets per border style, and editing signals from focus changes.
#include "ui/kit/TextField.h"

#include <QApplication>
#include <QFocusEvent>

#include "ui/kit/Fonts.h"

namespace oa {

TextField::TextField(QWidget* parent) : QLineEdit(parent) {
    setFont(systemFont(15));
    setAttribute(Qt::WA_MacShowFocusRect, false);
    connect(this, &QLineEdit::returnPressed, this, &TextField::shouldReturn);
    applyStyle();
}

void TextField::setBorderStyle(BorderStyle style) {
    borderStyle_ = style;
    applyStyle();
}

void TextField::applyStyle() {
    switch (borderStyle_) {
        case BorderStyle::None:
            setStyleSheet(QStringLiteral(
                "QLineEdit { border: none; background: transparent; padding: 0 2px; }"));
            break;
        case BorderStyle::Line:
            setStyleSheet(QStringLiteral(
                "QLineEdit { border: 1px solid #7a7a7a; background: white; padding: 0 4px; }"));
            break;
        case BorderStyle::RoundedRect:
            setStyleSheet(QStringLiteral(
                "QLineEdit { border: 1px solid #b5b5b5; border-radius: 6px; background: white;"
                " padding: 0 6px; }"
                "QLineEdit:focus { border-color: #5b9ad8; }"
                "QLineEdit:disabled { background: #f4f4f4; color: #7a7a7a; }"));
            break;
    }
}

void TextField::setSecureTextEntry(bool secure) {
    setEchoMode(secure ? QLineEdit::Password : QLineEdit::Normal);
}

void TextField::resignFirstResponder() {
    if (hasFocus()) {
        clearFocus();
    }
}

bool TextField::endEditing(QWidget* root) {
    QWidget* focus = QApplication::focusWidget();
    if (!root || !focus || !(focus == root || root->isAncestorOf(focus))) {
        return false;
    }
    auto* field = qobject_cast<QLineEdit*>(focus);
    focus->clearFocus();
    return field != nullptr;
}

void TextField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit didBeginEditing();
}

void TextField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit didEndEditing();
}

}  // namespace oa
