// TextView: multi-line text as the editors use it: a placeholder, the client's font, signals for
// the start and end of editing, and a hook that sees every change the user makes (typing, the
// return key, deleting, cutting, pasting, input-method text) before it happens and may refuse
// it, so that an editor can turn the return key into the end of editing.
#pragma once

#include <QPlainTextEdit>
#include <functional>

namespace oa {

class TextView : public QPlainTextEdit {
    Q_OBJECT
public:
    // Asked before the user's edit replaces `length` characters at `position` with
    // `replacement` ("\n" for the return key, empty for a deletion); false refuses it. Changes
    // made from code (setText) are not asked. The hook may end editing.
    using ShouldChangeText =
        std::function<bool(TextView* view, int position, int length, const QString& replacement)>;

    explicit TextView(QWidget* parent = nullptr);
    ~TextView() override;

    QString text() const { return toPlainText(); }
    void setText(const QString& text) { setPlainText(text); }

    void setShouldChangeText(ShouldChangeText hook) { shouldChangeText_ = std::move(hook); }

    // From the start of editing until the view loses the keyboard focus.
    bool isEditing() const { return editing_; }
    // Takes the keyboard focus away, which ends editing.
    void resignFirstResponder();

    // Ends editing in the text view or text field under `root` that has the keyboard focus (the
    // keyboard goes away). Returns whether one was being edited.
    static bool endEditing(QWidget* root);

signals:
    // The user started editing: a tap on the view, Tab, or the first key or input-method text
    // when the window handed the focus back (after a pop-up or a sheet), which begins nothing
    // by itself.
    void didBeginEditing();
    void didEndEditing();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void beginEditing();
    // Asks the hook about replacing the selection (or, without one, `before` characters before
    // and `after` characters after the cursor) with `replacement`.
    bool allowed(const QString& replacement, int before = 0, int after = 0);

    ShouldChangeText shouldChangeText_;
    bool editing_ = false;
};

}  // namespace oa
