// UIInputToolbar: the input bar at the bottom of the dialog, 43 points high. From left to right:
// the mode switch (text or voice), the growing text field (or, in voice mode, the hold-to-talk
// button in its place) and the send button. The bar grows upward with the field.
#pragma once

#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace oa {

class CheckBox;
class LongPressButton;
class UIExpandingTextView;

class UIInputToolbarDelegate {
public:
    virtual ~UIInputToolbarDelegate() = default;
    virtual void inputButtonPressed(const QString& text) = 0;
};

class UIInputToolbar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 43;

    explicit UIInputToolbar(QWidget* parent = nullptr);

    // Not owned.
    void setDelegate(UIInputToolbarDelegate* delegate) { delegate_ = delegate; }

    UIExpandingTextView* textView() const { return textView_; }
    QPushButton* inputButton() const { return inputButton_; }
    CheckBox* check() const { return check_; }
    LongPressButton* recordButton() const { return recordButton_; }
    bool isVoiceMode() const;

    // Hands the field's text to the delegate, then the field gives up the keyboard and is
    // cleared. Nothing happens while the field is empty.
    void inputButtonPressed();
    // Follows the mode switch: voice mode hides the field (ending editing) and shows the
    // hold-to-talk button; text mode the other way round.
    void chooseButtonPressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fieldHeightChanged(int height);
    void layoutChildren();

    UIInputToolbarDelegate* delegate_ = nullptr;
    CheckBox* check_ = nullptr;
    UIExpandingTextView* textView_ = nullptr;
    LongPressButton* recordButton_ = nullptr;
    QPushButton* inputButton_ = nullptr;
    int fieldHeight_ = 25;
};

}  // namespace oa
