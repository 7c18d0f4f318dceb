// AlertView: a question in a white box in the middle of the window over a dimmed backdrop: a title,
// a message that wraps (and scrolls when it is long, such as a certificate's fingerprint), a
// cancel button and other buttons. The window beneath takes no taps while it shows; only a button
// or Escape (cancel) closes it.
#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "ui/kit/GuardedDelegate.h"

class QLabel;
class QPushButton;
class QTextEdit;

namespace oa {

class AlertView;

class AlertViewDelegate {
public:
    virtual ~AlertViewDelegate() = default;
    // The user chose the button at `buttonIndex` (Escape chooses the cancel button).
    virtual void alertView(AlertView* alertView, int buttonIndex) = 0;
};

class AlertView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBoxWidth = 270;
    static constexpr int kButtonHeight = 44;
    // Kept free between the box and the window's edges.
    static constexpr int kScreenMargin = 20;

    // The cancel button is index 0 and the others follow from 1; without a cancel button (an
    // empty title) the others count from 0.
    AlertView(QString title, QString message, AlertViewDelegate* delegate,
              QString cancelButtonTitle, QStringList otherButtonTitles, QWidget* parent = nullptr);
    ~AlertView() override;

    QString title() const { return title_; }
    QString message() const { return message_; }
    // Not owned. A delegate that is a QObject (a screen) is not called after it is destroyed;
    // any other must outlive the alert or be cleared first.
    AlertViewDelegate* delegate() const { return delegate_.raw(); }
    void setDelegate(AlertViewDelegate* delegate);

    int numberOfButtons() const { return int(titles_.size()); }
    // -1 when there is no such button.
    int cancelButtonIndex() const { return cancelIndex_; }
    int firstOtherButtonIndex() const;
    // Empty for an index out of range.
    QString buttonTitleAtIndex(int index) const;

    // Shows the alert over the active window (else the last phone window shown, else any
    // visible one). The alert deletes itself once it has closed.
    void show();
    // Shows it over `view`.
    void showInView(QWidget* view);
    // Closes as if the button had been chosen, without telling the delegate or emitting
    // clickedButtonAtIndex (didDismissWithButtonIndex follows as always).
    void dismissWithClickedButtonIndex(int buttonIndex, bool animated);
    // Chooses the button as a tap would: out of range, or once the alert is closing, does
    // nothing.
    void clickButtonAtIndex(int buttonIndex);
    bool isClosing() const { return closing_; }

    // The parts, for tests and the tour.
    QRect boxRect() const;
    QPushButton* buttonAtIndex(int index) const;
    QTextEdit* messageView() const { return messageView_; }

signals:
    void clickedButtonAtIndex(int buttonIndex);
    // Once per alert, when it starts to go: the button chosen, or -1.
    void didDismissWithButtonIndex(int buttonIndex);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Box;

    void layoutBox();
    bool sideBySide() const;
    void tellDelegate(int buttonIndex);
    void fadeAway(int buttonIndex, bool animated);

    QString title_;
    QString message_;
    QStringList titles_;
    int cancelIndex_ = -1;
    GuardedDelegate<AlertViewDelegate> delegate_;

    Box* box_;
    QLabel* titleLabel_;
    QTextEdit* messageView_;
    QList<QPushButton*> buttons_;  // by index
    bool closing_ = false;
};

}  // namespace oa
