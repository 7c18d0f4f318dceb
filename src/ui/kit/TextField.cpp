// TextField: style sheets per border style, and editing signals from focus changes and input.
#include "ui/kit/TextField.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/kit/Fonts.h"

namespace oa {

TextField::TextField(QWidget* parent) : QLineEdit(parent) {
    setFont(systemFont(15));
    setAttribute(Qt::WA_MacShowFocusRect, false);
    connect(this, &QLineEdit::returnPressed, this, &TextField::shouldReturn);
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, &TextField::focusMoved);
    applyStyle();
}

TextField::~TextField() {
    // The QWidget part still clears the focus, which announces the change, after this body.
    disconnect(focusWatch_);
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

void TextField::beginEditing() {
    editing_ = true;
    emit didBeginEditing();
}

void TextField::focusInEvent(QFocusEvent* event) {
    hadSelection_ = hasSelectedText();
    QLineEdit::focusInEvent(event);
    switch (event->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
            // The Tab key, or a focused widget that was hidden or disabled: Qt gives the focus to
            // the next widget in both cases, with this reason. focusMoved tells them apart.
            tabFocusPending_ = true;
            break;
        case Qt::ActiveWindowFocusReason:
        case Qt::PopupFocusReason:
            // The window, active again or back from a pop-up, returns the focus: editing goes on
            // if it was under way, and nothing begins otherwise.
            break;
        default:
            beginEditing();
            break;
    }
}

void TextField::focusMoved(QWidget* from, QWidget* to) {
    if (to != this || !tabFocusPending_) {
        return;
    }
    tabFocusPending_ = false;
    // A Tab key reaches the focused widget, which is on screen; a widget that leaves the screen
    // or is disabled while it holds the focus hands it on by itself.
    const bool userTab = !from || (from->isVisible() && from->isEnabled());
    if (userTab) {
        beginEditing();
        return;
    }
    editing_ = false;
    if (!hadSelection_) {
        deselect();  // Qt selects all on Tab focus; typing would replace the text unseen
    }
}

void TextField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    tabFocusPending_ = false;
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
        return;  // the field stays its window's focus widget and gets the focus back
    }
    if (editing_) {
        editing_ = false;
        emit didEndEditing();
    }
}

void TextField::mousePressEvent(QMouseEvent* event) {
    if (!editing_ && hasFocus()) {
        beginEditing();
    }
    QLineEdit::mousePressEvent(event);
}

void TextField::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Shift:  // a modifier alone, as on the way to Shift+Tab
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
            break;
        default:
            if (!editing_) {
                beginEditing();
            }
            break;
    }
    QLineEdit::keyPressEvent(event);
}

void TextField::inputMethodEvent(QInputMethodEvent* event) {
    if (!editing_) {
        beginEditing();
    }
    QLineEdit::inputMethodEvent(event);
}

}  // namespace oa
