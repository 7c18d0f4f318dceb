// EditorTextView: a plain text edit whose return key ends editing.
#include "ui/controller/write/EditorTextView.h"

#include <QKeyEvent>
#include <QMimeData>

namespace oa {

EditorTextView::EditorTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
}

void EditorTextView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        clearFocus();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void EditorTextView::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    emit didBeginEditing();
}

void EditorTextView::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    emit didEndEditing();
}

void EditorTextView::insertFromMimeData(const QMimeData* source) {
    QString text = source->text();
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    insertPlainText(text);
}

}  // namespace oa
