// TextField: a one-line text field as the forms use it: border styles, secure entry,
// placeholder, and signals for the start and end of editing and for the return key.
#pragma once

#include <QLineEdit>

namespace oa {

class TextField : public QLineEdit {
    Q_OBJECT
public:
    enum class BorderStyle { None, Line, RoundedRect };

    explicit TextField(QWidget* parent = nullptr);

    BorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(BorderStyle style);
    // Shows dots instead of the characters.
    bool isSecureTextEntry() const { return echoMode() == QLineEdit::Password; }
    void setSecureTextEntry(bool secure);
    // While the field has the keyboard focus.
    bool isEditing() const { return hasFocus(); }
    // Takes the keyboard focus away, which ends editing.
    void resignFirstResponder();

    // Ends editing in every text field under `root` (the keyboard goes away). Returns whether
    // one was being edited.
    static bool endEditing(QWidget* root);

signals:
    void didBeginEditing();
    void didEndEditing();
    // The return (or enter) key; the field keeps editing unless a handler ends it.
    void shouldReturn();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void applyStyle();

    BorderStyle borderStyle_ = BorderStyle::None;
};

}  // namespace oa
