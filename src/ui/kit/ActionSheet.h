// ActionSheet: a choice of buttons that slides up from the bottom of the window over a dimmed
// backdrop: an optional title, an optional destructive button (red), other buttons, and a cancel
// button set apart below them. It may carry a content widget above its buttons (a date or time
// editor). Choosing a button, Escape or a tap on the dimmed area closes it.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "ui/kit/GuardedDelegate.h"

class QVariantAnimation;

namespace oa {

class ActionSheet;

class ActionSheetDelegate {
public:
    virtual ~ActionSheetDelegate() = default;
    // The user chose the button at `buttonIndex` (Escape and a tap outside choose the cancel
    // button). Called before the sheet slides away.
    virtual void actionSheet(ActionSheet* actionSheet, int buttonIndex) = 0;
};

class ActionSheet : public QWidget {
    Q_OBJECT
public:
    static constexpr int kButtonHeight = 44;
    static constexpr int kMargin = 8;

    // Buttons are numbered as on the phone: the destructive button first, then the others in
    // order, the cancel button last. An empty title leaves that button out.
    ActionSheet(QString title, ActionSheetDelegate* delegate, QString cancelButtonTitle,
                QString destructiveButtonTitle, QStringList otherButtonTitles,
                QWidget* parent = nullptr);
    ~ActionSheet() override;

    QString title() const { return title_; }
    // Not owned. A delegate that is a QObject (a screen) is not called after it is destroyed;
    // any other must outlive the sheet or be cleared first.
    ActionSheetDelegate* delegate() const { return delegate_.raw(); }
    void setDelegate(ActionSheetDelegate* delegate);

    int numberOfButtons() const { return int(buttons_.size()); }
    // -1 when the sheet has no such button.
    int cancelButtonIndex() const { return cancelIndex_; }
    int destructiveButtonIndex() const { return destructiveIndex_; }
    int firstOtherButtonIndex() const;
    // Empty for an index out of range.
    QString buttonTitleAtIndex(int index) const;

    // A widget shown between the title and the buttons, at its height and the sheet's width. The
    // sheet takes it over (replacing and deleting any earlier one).
    void setContentWidget(QWidget* widget);
    QWidget* contentWidget() const { return content_; }

    // Covers `view` (normally the window) and slides up from its bottom edge. The sheet deletes
    // itself once it has closed.
    void showInView(QWidget* view);
    // Closes as if the button had been chosen, without telling the delegate or emitting
    // clickedButtonAtIndex (didDismissWithButtonIndex follows as always).
    void dismissWithClickedButtonIndex(int buttonIndex, bool animated);
    // Chooses the button as a tap would: out of range, or once the sheet is closing, does
    // nothing.
    void clickButtonAtIndex(int buttonIndex);
    // Escape or a tap on the dimmed area: the cancel button when there is one, otherwise the
    // sheet closes with index -1 and nothing is chosen.
    void cancel();
    bool isClosing() const { return closing_; }
    // The button the keys have lit (Down/Up or Tab/Shift+Tab walk them, Enter or Space chooses
    // it), -1 before the first such key.
    int keyButtonIndex() const { return keyButton_; }

    // Where things are drawn, in the sheet's coordinates, once shown (for tests and the tour).
    QRect panelRect() const;
    QRect buttonRect(int buttonIndex) const;

signals:
    void clickedButtonAtIndex(int buttonIndex);
    // Once per sheet, when it starts to go: the button chosen, or -1.
    void didDismissWithButtonIndex(int buttonIndex);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void moveKeyButton(bool forward);

    struct Layout {
        QRect group;     // title, content and the buttons other than cancel
        QRect titleBox;  // empty without a title
        QRect content;   // empty without a content widget
        QRect cancel;    // empty without a cancel button
        QList<QRect> buttons;
    };

    Layout layoutAt(qreal shown) const;
    int titleHeight(int width) const;
    int buttonAt(QPoint pos) const;
    void placeContent();
    void tellDelegate(int buttonIndex);
    void slideAway(int buttonIndex, bool animated);
    void animateTo(qreal shown, int milliseconds);

    QString title_;
    QStringList buttons_;
    int cancelIndex_ = -1;
    int destructiveIndex_ = -1;
    GuardedDelegate<ActionSheetDelegate> delegate_;
    QPointer<QWidget> content_;

    // How far the sheet has slid up, 0 to 1. Main thread only, like everything here.
    qreal shown_ = 0;
    QPointer<QVariantAnimation> slide_;
    bool closing_ = false;
    int pressedButton_ = -1;
    bool pressedOutside_ = false;
    int keyButton_ = -1;
};

}  // namespace oa
