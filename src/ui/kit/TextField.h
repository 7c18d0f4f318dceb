// TextField: a one-line text field as the forms use it: border styles, secure entry,
// placeholder, and signals for the start and end of editing and for the return key. Editing is
// what the user starts (a tap, Tab, typing), not every arrival of the keyboard focus.
#pragma once

#include <QLineEdit>

namespace oa {

class TextField : public QLineEdit {
    Q_OBJECT
public:
    enum class BorderStyle { None, Line, RoundedRect };

    explicit TextField(QWidget* parent = nullptr);
    ~TextField() override;

    BorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(BorderStyle style);
    // Shows dots instead of the characters.
    bool isSecureTextEntry() const { return echoMode() == QLineEdit::Password; }
    void setSecureTextEntry(bool secure);
    // From the start of editing until the field loses the keyboard focus.
    bool isEditing() const { return editing_; }
    // Takes the keyboard focus away, which ends editing.
    void resignFirstResponder();

    // Ends editing in every text field under `root` (the keyboard goes away). Returns whether
    // one was being edited.
    static bool endEditing(QWidget* root);

signals:
    // The user started editing: a tap on the field, Tab from a control on screen, or the first
    // key or input-method text in a field that the window handed the focus to (after a pop-up
    // list or a screen that held it went away), which begins nothing by itself.
    void didBeginEditing();
    void didEndEditing();
    // The return (or enter) key; the field keeps editing unless a handler ends it.
    void shouldReturn();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void applyStyle();
    void beginEditing();
    // Tab focus is told apart once the previous focus widget is known.
    void focusMoved(QWidget* from, QWidget* to);

    BorderStyle borderStyle_ = BorderStyle::None;
    bool editing_ = false;
    // A Tab focus-in waiting for focusMoved, and whether it found a selection to keep.
    bool tabFocusPending_ = false;
    bool hadSelection_ = false;
    QMetaObject::Connection focusWatch_;
};

}  // namespace oa
