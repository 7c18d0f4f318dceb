// UIExpandingTextView: the growing text field of the dialog's input bar. System font of 15
// points, one to 13 lines high; a placeholder while empty. Ctrl+Return asks for a send, Return
// makes a new line.
#pragma once

#include <QPlainTextEdit>

namespace oa {

class UIExpandingTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kFontSize = 15;
    static constexpr int kMinimumLines = 1;
    static constexpr int kMaximumLines = 13;

    explicit UIExpandingTextView(QWidget* parent = nullptr);

    QString text() const { return toPlainText(); }
    void setText(const QString& text) { setPlainText(text); }
    // The height the field wants for its text, between one and 13 lines.
    int fittingHeight() const;

signals:
    // The text gained or lost lines: the height the field wants now.
    void heightChangeRequested(int newHeight);
    void sendRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateHeight();
    int lastHeight_ = 0;
};

}  // namespace oa
