// TextView: editing signals from focus and input, and every user change passed by the hook.
#include "ui/kit/TextView.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QTextBlock>

#include "ui/kit/Fonts.h"

namespace oa {

TextView::TextView(QWidget* parent) : QPlainTextEdit(parent) {
    setFont(systemFont(15));
    setFrameShape(QFrame::NoFrame);
    setTabChangesFocus(true);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

TextView::~TextView() = default;

void TextView::resignFirstResponder() {
    if (hasFocus()) {
        clearFocus();
    }
}

bool TextView::endEditing(QWidget* root) {
    QWidget* focus = QApplication::focusWidget();
    if (!root || !focus || !(focus == root || root->isAncestorOf(focus))) {
        return false;
    }
    const bool textInput = qobject_cast<TextView*>(focus) || qobject_cast<QLineEdit*>(focus);
    focus->clearFocus();
    return textInput;
}

void TextView::beginEditing() {
    editing_ = true;
    emit didBeginEditing();
}

bool TextView::allowed(const QString& replacement, int before, int after) {
    if (!shouldChangeText_ || isReadOnly()) {
        return true;
    }
    const QTextCursor cursor = textCursor();
    int position = cursor.selectionStart();
    int length = cursor.selectionEnd() - position;
    if (length == 0) {
        const int end = document()->characterCount() - 1;  // without the final paragraph mark
        position = std::max(0, position - before);
        length = std::min(end, cursor.position() + after) - position;
        if (length <= 0 && replacement.isEmpty()) {
            return true;  // nothing to delete: not a change
        }
    }
    return shouldChangeText_(this, position, std::max(0, length), replacement);
}

void TextView::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    switch (event->reason()) {
        case Qt::ActiveWindowFocusReason:
        case Qt::PopupFocusReason:
            // The window, active again or back from a pop-up, returns the focus: editing goes on
            // if it was under way, and nothing begins otherwise.
            break;
        default:
            if (!editing_) {
                beginEditing();
            }
            break;
    }
}

void TextView::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
        return;  // the view stays its window's focus widget and gets the focus back
    }
    if (editing_) {
        editing_ = false;
        emit didEndEditing();
    }
}

void TextView::mousePressEvent(QMouseEvent* event) {
    if (!editing_ && hasFocus()) {
        beginEditing();
    }
    QPlainTextEdit::mousePressEvent(event);
}

void TextView::keyPressEvent(QKeyEvent* event) {
    const QPointer<TextView> self(this);
    const int key = event->key();
    const bool modifierOnly =
        key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta;
    if (!editing_ && !modifierOnly && key != Qt::Key_Escape) {
        beginEditing();
    }
    if (isReadOnly()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    bool ok = true;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        ok = allowed(QStringLiteral("\n"));
    } else if (event->matches(QKeySequence::Paste)) {
        // insertFromMimeData asks.
    } else if (event->matches(QKeySequence::Cut)) {
        ok = !textCursor().hasSelection() || allowed({});
    } else if (key == Qt::Key_Backspace) {
        ok = allowed({}, 1, 0);
    } else if (key == Qt::Key_Delete) {
        ok = allowed({}, 0, 1);
    } else if (event->matches(QKeySequence::DeleteStartOfWord) ||
               event->matches(QKeySequence::DeleteEndOfWord)) {
        // Whole words at once: asked as the deletion of the selection they make.
        QTextCursor cursor = textCursor();
        if (!cursor.hasSelection()) {
            cursor.movePosition(event->matches(QKeySequence::DeleteStartOfWord)
                                    ? QTextCursor::PreviousWord
                                    : QTextCursor::EndOfWord,
                                QTextCursor::KeepAnchor);
        }
        if (cursor.hasSelection() && shouldChangeText_) {
            ok = shouldChangeText_(this, cursor.selectionStart(),
                                   cursor.selectionEnd() - cursor.selectionStart(), {});
        }
    } else if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
        ok = allowed(event->text());
    }
    if (!self) {
        return;
    }
    if (!ok) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextView::inputMethodEvent(QInputMethodEvent* event) {
    if (!editing_) {
        beginEditing();
    }
    if (!event->commitString().isEmpty() && !allowed(event->commitString())) {
        // The composition is dropped with the refused text.
        QInputMethodEvent cleared;
        QPlainTextEdit::inputMethodEvent(&cleared);
        event->accept();
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void TextView::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText() || isReadOnly()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    if (!allowed(source->text())) {
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

}  // namespace oa
