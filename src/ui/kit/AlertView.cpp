// AlertView: the button order, the box laid out for its title, message and buttons within the
// window, and closing by a button or Escape.
#include "ui/kit/AlertView.h"

#include <QApplication>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QtMath>
#include <algorithm>

#include "ui/kit/Fonts.h"
#include "ui/kit/ViewController.h"
#include "ui/kit/Window.h"

namespace oa {

namespace {
constexpr int kPadding = 16;
constexpr int kTopPadding = 20;
constexpr int kTitleGap = 6;
constexpr int kCornerRadius = 12;
constexpr int kFadeMs = 150;
// However long the message, this much of it stays in sight.
constexpr int kMinimumMessageHeight = 40;
const QColor kSeparator(200, 200, 200);

// The window the user is looking at: the active one, else the last phone window shown, else any
// visible top-level widget.
QWidget* hostWindow() {
    if (QWidget* active = QApplication::activeWindow(); active && active->isVisible()) {
        return active;
    }
    QWidget* fallback = nullptr;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (!window->isVisible() || window->windowType() == Qt::ToolTip ||
            window->windowType() == Qt::Popup) {
            continue;
        }
        if (qobject_cast<Window*>(window)) {
            fallback = window;
        } else if (!fallback) {
            fallback = window;
        }
    }
    return fallback;
}
}  // namespace

// The white box: its rounded background and the hairlines around the buttons.
class AlertView::Box : public QWidget {
public:
    explicit Box(QWidget* parent) : QWidget(parent) {}
    QList<QLineF> lines;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(250, 250, 250));
        painter.drawRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(kSeparator, 1));
        for (const QLineF& line : lines) {
            painter.drawLine(line);
        }
    }
};

AlertView::AlertView(QString title, QString message, AlertViewDelegate* delegate,
                     QString cancelButtonTitle, QStringList otherButtonTitles, QWidget* parent)
    : QWidget(parent),
      title_(std::move(title)),
      message_(std::move(message)),
      box_(new Box(this)),
      titleLabel_(new QLabel(box_)),
      messageView_(new QTextEdit(box_)) {
    setObjectName(QStringLiteral("alertView"));
    setFocusPolicy(Qt::StrongFocus);
    if (!cancelButtonTitle.isEmpty()) {
        cancelIndex_ = 0;
        titles_.append(cancelButtonTitle);
    }
    titles_.append(otherButtonTitles);
    setDelegate(delegate);

    titleLabel_->setObjectName(QStringLiteral("alertTitle"));
    titleLabel_->setText(title_);
    titleLabel_->setFont(boldSystemFont(17));
    titleLabel_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    titleLabel_->setWordWrap(true);
    titleLabel_->setVisible(!title_.isEmpty());

    // A read-only text view rather than a label: a long message scrolls, and a long word such as
    // a fingerprint breaks anywhere instead of widening the box. The text can be selected.
    messageView_->setObjectName(QStringLiteral("alertMessage"));
    messageView_->setReadOnly(true);
    messageView_->setFrameShape(QFrame::NoFrame);
    messageView_->setFont(systemFont(14));
    messageView_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    messageView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    messageView_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    messageView_->setStyleSheet(QStringLiteral("QTextEdit { background: transparent; }"));
    messageView_->viewport()->setAutoFillBackground(false);
    messageView_->document()->setDocumentMargin(0);
    messageView_->setPlainText(message_);
    messageView_->setAccessibleName(message_);
    QTextOption option = messageView_->document()->defaultTextOption();
    option.setAlignment(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    messageView_->document()->setDefaultTextOption(option);
    messageView_->setVisible(!message_.isEmpty());

    for (int i = 0; i < titles_.size(); ++i) {
        auto* button = new QPushButton(titles_.at(i), box_);
        button->setObjectName(QStringLiteral("alertButton%1").arg(i));
        button->setFont(i == cancelIndex_ ? boldSystemFont(17) : systemFont(17));
        button->setCursor(Qt::PointingHandCursor);
        button->setStyleSheet(
            QStringLiteral("QPushButton { border: none; background: transparent; color: #007aff; }"
                           "QPushButton:pressed { background: rgba(0, 0, 0, 22); }"
                           "QPushButton:focus { background: rgba(0, 122, 255, 20);"
                           " border: 2px solid #3a96f0; border-radius: 6px; }"));
        button->setAutoDefault(true);  // Enter presses the focused button, as Space does
        connect(button, &QPushButton::clicked, this, [this, i] { clickButtonAtIndex(i); });
        buttons_.append(button);
    }
    hide();
}

AlertView::~AlertView() = default;

void AlertView::setDelegate(AlertViewDelegate* delegate) {
    delegate_.set(delegate);
}

int AlertView::firstOtherButtonIndex() const {
    const int first = cancelIndex_ >= 0 ? 1 : 0;
    return first < numberOfButtons() ? first : -1;
}

QString AlertView::buttonTitleAtIndex(int index) const {
    return index >= 0 && index < titles_.size() ? titles_.at(index) : QString();
}

QPushButton* AlertView::buttonAtIndex(int index) const {
    return index >= 0 && index < buttons_.size() ? buttons_.at(index) : nullptr;
}

QRect AlertView::boxRect() const {
    return box_->geometry();
}

// --- Layout -----------------------------------------------------------------------------------

bool AlertView::sideBySide() const {
    return numberOfButtons() == 2;
}

void AlertView::layoutBox() {
    const int boxWidth = std::max(120, std::min(kBoxWidth, width() - 2 * kScreenMargin));
    const int inner = boxWidth - 2 * kPadding;
    const int titleHeight = title_.isEmpty() ? 0 : titleLabel_->heightForWidth(inner);
    int messageHeight = 0;
    if (!message_.isEmpty()) {
        messageView_->document()->setTextWidth(inner);
        messageHeight = qCeil(messageView_->document()->size().height());
    }
    const int gap = titleHeight > 0 && messageHeight > 0 ? kTitleGap : 0;
    const int rows = numberOfButtons() == 0 ? 0 : (sideBySide() ? 1 : numberOfButtons());
    const int buttonsHeight = rows * kButtonHeight;
    const int fixed = 2 * kTopPadding + titleHeight + gap + buttonsHeight;
    const int available = height() - 2 * kScreenMargin;
    if (messageHeight > 0) {
        messageHeight = std::min(messageHeight, std::max(kMinimumMessageHeight, available - fixed));
    }
    const int boxHeight = fixed + messageHeight;
    box_->setGeometry((width() - boxWidth) / 2, std::max(0, (height() - boxHeight) / 2), boxWidth,
                      boxHeight);

    int y = kTopPadding;
    titleLabel_->setGeometry(kPadding, y, inner, titleHeight);
    y += titleHeight + gap;
    messageView_->setGeometry(kPadding, y, inner, messageHeight);
    y += messageHeight + kTopPadding;

    box_->lines.clear();
    if (rows > 0) {
        box_->lines.append(QLineF(0, y, boxWidth, y));
    }
    if (sideBySide()) {
        const int half = boxWidth / 2;
        // The cancel button on the left, as on the phone.
        buttons_.at(0)->setGeometry(0, y, half, kButtonHeight);
        buttons_.at(1)->setGeometry(half, y, boxWidth - half, kButtonHeight);
        box_->lines.append(QLineF(half, y, half, y + kButtonHeight));
        return;
    }
    // Stacked: the other buttons in order, the cancel button at the bottom.
    QList<int> order;
    for (int i = 0; i < numberOfButtons(); ++i) {
        if (i != cancelIndex_) {
            order.append(i);
        }
    }
    if (cancelIndex_ >= 0) {
        order.append(cancelIndex_);
    }
    for (int row = 0; row < order.size(); ++row) {
        buttons_.at(order.at(row))->setGeometry(0, y, boxWidth, kButtonHeight);
        if (row > 0) {
            box_->lines.append(QLineF(0, y, boxWidth, y));
        }
        y += kButtonHeight;
    }
}

void AlertView::resizeEvent(QResizeEvent*) {
    layoutBox();
}

bool AlertView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

// --- Showing and closing ----------------------------------------------------------------------

void AlertView::show() {
    QWidget* host = hostWindow();
    if (!host) {
        // No window yet: the alert is a window of its own, the size of the phone's screen.
        setWindowFlag(Qt::FramelessWindowHint);
        resize(320, 480);
        QWidget::show();
        raise();
        setFocus(Qt::PopupFocusReason);
        return;
    }
    showInView(host);
}

void AlertView::showInView(QWidget* view) {
    if (!view || closing_) {
        return;
    }
    if (parentWidget() != view) {
        setParent(view);
    }
    view->installEventFilter(this);
    setGeometry(view->rect());
    layoutBox();
    QWidget::show();
    raise();
    setFocus(Qt::PopupFocusReason);
    auto* effect = new QGraphicsOpacityEffect(this);
    effect->setOpacity(0);
    setGraphicsEffect(effect);
    auto* fade = new QPropertyAnimation(effect, "opacity", this);
    fade->setDuration(kFadeMs);
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    connect(fade, &QPropertyAnimation::finished, this, [this] {
        if (!closing_) {
            setGraphicsEffect(nullptr);
        }
    });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void AlertView::tellDelegate(int buttonIndex) {
    if (AlertViewDelegate* delegate = delegate_.live()) {
        delegate->alertView(this, buttonIndex);
    }
}

void AlertView::clickButtonAtIndex(int buttonIndex) {
    if (closing_ || buttonIndex < 0 || buttonIndex >= numberOfButtons()) {
        return;
    }
    // Closing from here on: whatever the handlers do, nothing is chosen a second time.
    closing_ = true;
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const QPointer<AlertView> self(this);
    emit clickedButtonAtIndex(buttonIndex);
    if (self) {
        tellDelegate(buttonIndex);
    }
    if (self) {
        fadeAway(buttonIndex, true);
    }
}

void AlertView::dismissWithClickedButtonIndex(int buttonIndex, bool animated) {
    if (closing_) {
        return;
    }
    closing_ = true;
    setAttribute(Qt::WA_TransparentForMouseEvents);
    fadeAway(buttonIndex, animated);
}

void AlertView::fadeAway(int buttonIndex, bool animated) {
    const QPointer<AlertView> self(this);
    emit didDismissWithButtonIndex(buttonIndex);
    if (!self) {
        return;
    }
    if (parentWidget()) {
        parentWidget()->removeEventFilter(this);
    }
    if (!animated || !isVisible()) {
        hide();
        deleteLater();
        return;
    }
    auto* effect = new QGraphicsOpacityEffect(this);
    setGraphicsEffect(effect);
    auto* fade = new QPropertyAnimation(effect, "opacity", this);
    fade->setDuration(kFadeMs);
    fade->setStartValue(1.0);
    fade->setEndValue(0.0);
    connect(fade, &QPropertyAnimation::finished, this, [this] {
        hide();
        deleteLater();
    });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

// --- Painting and input -----------------------------------------------------------------------

void AlertView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 110));
}

void AlertView::mousePressEvent(QMouseEvent* event) {
    // The window beneath waits for an answer: a tap beside the box does nothing.
    event->accept();
}

void AlertView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (cancelIndex_ >= 0) {
            clickButtonAtIndex(cancelIndex_);
        } else if (numberOfButtons() == 0) {
            // Nothing else could ever close it.
            dismissWithClickedButtonIndex(-1, true);
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace oa
