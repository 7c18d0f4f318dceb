// EditorTextView: the multi-line text of an editor. The return key ends editing instead of
// inserting a line break, and pasted line breaks become spaces, so the text is one paragraph.
#pragma once

#include <QPlainTextEdit>

namespace oa {

class EditorTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit EditorTextView(QWidget* parent = nullptr);

    QString text() const { return toPlainText(); }

signals:
    void didBeginEditing();
    void didEndEditing();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

}  // namespace oa
