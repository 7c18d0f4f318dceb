// ActionSheet: the button order, the layout of the panel at any point of its slide, painting, and
// closing by a button, Escape or a tap on the dimmed area.
#include "ui/kit/ActionSheet.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>
#include <algorithm>

#include "ui/kit/FocusRing.h"
#include "ui/kit/Fonts.h"

namespace oa {

namespace {
constexpr int kSlideMs = 250;
constexpr int kCornerRadius = 12;
constexpr int kTitlePadding = 14;
constexpr int kTitleSideMargin = 16;
constexpr int kContentPaddingX = 12;
constexpr int kContentPaddingY = 10;
constexpr int kDimAlpha = 110;
const QColor kTint(0, 122, 255);
const QColor kDestructive(255, 59, 48);
const QColor kTitleColour(143, 143, 143);
const QColor kSeparator(214, 214, 214);
const QColor kPressed(222, 222, 222);
const QColor kPanel(250, 250, 250);

QFont titleFont() {
    return systemFont(13);
}
}  // namespace

ActionSheet::ActionSheet(QString title, ActionSheetDelegate* delegate, QString cancelButtonTitle,
                         QString destructiveButtonTitle, QStringList otherButtonTitles,
                         QWidget* parent)
    : QWidget(parent), title_(std::move(title)) {
    setObjectName(QStringLiteral("actionSheet"));
    setFocusPolicy(Qt::StrongFocus);
    if (!destructiveButtonTitle.isEmpty()) {
        destructiveIndex_ = int(buttons_.size());
        buttons_.append(destructiveButtonTitle);
    }
    for (const QString& other : otherButtonTitles) {
        buttons_.append(other);
    }
    if (!cancelButtonTitle.isEmpty()) {
        cancelIndex_ = int(buttons_.size());
        buttons_.append(cancelButtonTitle);
    }
    setDelegate(delegate);
    hide();
}

ActionSheet::~ActionSheet() = default;

void ActionSheet::setDelegate(ActionSheetDelegate* delegate) {
    delegate_.set(delegate);
}

int ActionSheet::firstOtherButtonIndex() const {
    const int first = destructiveIndex_ >= 0 ? destructiveIndex_ + 1 : 0;
    const int end = cancelIndex_ >= 0 ? cancelIndex_ : numberOfButtons();
    return first < end ? first : -1;
}

QString ActionSheet::buttonTitleAtIndex(int index) const {
    return index >= 0 && index < buttons_.size() ? buttons_.at(index) : QString();
}

void ActionSheet::setContentWidget(QWidget* widget) {
    if (content_ == widget) {
        return;
    }
    delete content_.data();
    content_ = widget;
    if (widget) {
        widget->setParent(this);
        widget->show();
    }
    placeContent();
    update();
}

// --- Layout -----------------------------------------------------------------------------------

int ActionSheet::titleHeight(int width) const {
    if (title_.isEmpty()) {
        return 0;
    }
    const QFontMetrics metrics(titleFont());
    const QRect text = metrics.boundingRect(QRect(0, 0, width - 2 * kTitleSideMargin, 10000),
                                            Qt::TextWordWrap | Qt::AlignHCenter, title_);
    return text.height() + 2 * kTitlePadding;
}

ActionSheet::Layout ActionSheet::layoutAt(qreal shown) const {
    Layout layout;
    const int width = std::max(0, this->width() - 2 * kMargin);
    const int title = titleHeight(width);
    int content = 0;
    if (content_) {
        // A fixed height is taken as set; otherwise what the widget asks for.
        content = content_->maximumHeight() < QWIDGETSIZE_MAX
                      ? content_->maximumHeight()
                      : std::max(content_->minimumHeight(), content_->sizeHint().height());
    }
    const int contentBlock = content > 0 ? content + 2 * kContentPaddingY : 0;
    const int grouped = numberOfButtons() - (cancelIndex_ >= 0 ? 1 : 0);
    const int group = title + contentBlock + grouped * kButtonHeight;
    int total = kMargin + group;
    if (cancelIndex_ >= 0) {
        total += kButtonHeight + (group > 0 ? kMargin : 0);
    }
    const int top = height() - qRound(total * std::clamp(shown, 0.0, 1.0));

    int y = top;
    if (group > 0) {
        layout.group = QRect(kMargin, top, width, group);
    }
    if (title > 0) {
        layout.titleBox = QRect(kMargin, y, width, title);
        y += title;
    }
    if (content > 0) {
        layout.content = QRect(kMargin + kContentPaddingX, y + kContentPaddingY,
                               width - 2 * kContentPaddingX, content);
        y += contentBlock;
    }
    for (int i = 0; i < numberOfButtons(); ++i) {
        if (i == cancelIndex_) {
            layout.buttons.append(QRect());
            continue;
        }
        layout.buttons.append(QRect(kMargin, y, width, kButtonHeight));
        y += kButtonHeight;
    }
    if (cancelIndex_ >= 0) {
        layout.cancel = QRect(kMargin, group > 0 ? y + kMargin : top, width, kButtonHeight);
        layout.buttons[cancelIndex_] = layout.cancel;
    }
    return layout;
}

QRect ActionSheet::panelRect() const {
    const Layout layout = layoutAt(shown_);
    return layout.group.united(layout.cancel);
}

QRect ActionSheet::buttonRect(int buttonIndex) const {
    if (buttonIndex < 0 || buttonIndex >= numberOfButtons()) {
        return {};
    }
    return layoutAt(shown_).buttons.at(buttonIndex);
}

int ActionSheet::buttonAt(QPoint pos) const {
    const Layout layout = layoutAt(shown_);
    for (int i = 0; i < layout.buttons.size(); ++i) {
        if (layout.buttons.at(i).contains(pos)) {
            return i;
        }
    }
    return -1;
}

void ActionSheet::placeContent() {
    if (content_) {
        content_->setGeometry(layoutAt(shown_).content);
    }
}

void ActionSheet::resizeEvent(QResizeEvent*) {
    placeContent();
}

bool ActionSheet::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

// --- Showing and closing ----------------------------------------------------------------------

void ActionSheet::showInView(QWidget* view) {
    if (!view || closing_) {
        return;
    }
    if (parentWidget() != view) {
        setParent(view);
    }
    view->installEventFilter(this);
    setGeometry(view->rect());
    shown_ = 0;
    placeContent();
    show();
    raise();
    // Keys go to the content (a date to type) when there is one; Escape reaches the sheet.
    if (content_ && content_->focusPolicy() != Qt::NoFocus) {
        content_->setFocus(Qt::PopupFocusReason);
    } else {
        setFocus(Qt::PopupFocusReason);
    }
    animateTo(1, kSlideMs);
}

void ActionSheet::animateTo(qreal shown, int milliseconds) {
    if (slide_) {
        slide_->stop();
    }
    auto* animation = new QVariantAnimation(this);
    animation->setStartValue(shown_);
    animation->setEndValue(shown);
    animation->setDuration(milliseconds);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        shown_ = value.toReal();
        placeContent();
        update();
    });
    slide_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void ActionSheet::tellDelegate(int buttonIndex) {
    if (ActionSheetDelegate* delegate = delegate_.live()) {
        delegate->actionSheet(this, buttonIndex);
    }
}

void ActionSheet::clickButtonAtIndex(int buttonIndex) {
    if (closing_ || buttonIndex < 0 || buttonIndex >= numberOfButtons()) {
        return;
    }
    // Closing from here on: whatever the handlers do, nothing is chosen a second time.
    closing_ = true;
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const QPointer<ActionSheet> self(this);
    emit clickedButtonAtIndex(buttonIndex);
    if (self) {
        tellDelegate(buttonIndex);
    }
    if (self) {
        slideAway(buttonIndex, true);
    }
}

void ActionSheet::dismissWithClickedButtonIndex(int buttonIndex, bool animated) {
    if (closing_) {
        return;
    }
    closing_ = true;
    setAttribute(Qt::WA_TransparentForMouseEvents);
    slideAway(buttonIndex, animated);
}

void ActionSheet::cancel() {
    if (closing_) {
        return;
    }
    if (cancelIndex_ >= 0) {
        clickButtonAtIndex(cancelIndex_);
    } else {
        dismissWithClickedButtonIndex(-1, true);
    }
}

void ActionSheet::slideAway(int buttonIndex, bool animated) {
    const QPointer<ActionSheet> self(this);
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
    animateTo(0, kSlideMs);
    connect(slide_, &QAbstractAnimation::finished, this, [this] {
        hide();
        deleteLater();
    });
}

// --- Painting ---------------------------------------------------------------------------------

void ActionSheet::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(0, 0, 0, qRound(kDimAlpha * shown_)));
    const Layout layout = layoutAt(shown_);

    auto drawButton = [&](int index, const QRect& box) {
        if (index == pressedButton_) {
            painter.fillRect(box, kPressed);
        }
        QFont font = index == cancelIndex_ ? boldSystemFont(18) : systemFont(18);
        painter.setFont(font);
        painter.setPen(index == destructiveIndex_ ? kDestructive : kTint);
        const QString text = painter.fontMetrics().elidedText(buttons_.at(index), Qt::ElideMiddle,
                                                              box.width() - 2 * kTitleSideMargin);
        painter.drawText(box, Qt::AlignCenter, text);
        if (index == keyButton_) {
            paintFocusRing(painter, QRectF(box).adjusted(3, 2, -3, -2), kCornerRadius - 2);
        }
    };

    if (!layout.group.isEmpty()) {
        QPainterPath group;
        group.addRoundedRect(QRectF(layout.group), kCornerRadius, kCornerRadius);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kPanel);
        painter.drawPath(group);
        painter.save();
        painter.setClipPath(group);
        if (!layout.titleBox.isEmpty()) {
            painter.setFont(titleFont());
            painter.setPen(kTitleColour);
            painter.drawText(layout.titleBox.adjusted(kTitleSideMargin, kTitlePadding,
                                                      -kTitleSideMargin, -kTitlePadding),
                             Qt::TextWordWrap | Qt::AlignHCenter | Qt::AlignVCenter, title_);
        }
        bool first = layout.titleBox.isEmpty() && layout.content.isEmpty();
        for (int i = 0; i < numberOfButtons(); ++i) {
            if (i == cancelIndex_) {
                continue;
            }
            const QRect box = layout.buttons.at(i);
            drawButton(i, box);
            if (!first) {
                painter.setPen(QPen(kSeparator, 1));
                painter.drawLine(QPointF(box.left(), box.top() + 0.5),
                                 QPointF(box.right() + 1, box.top() + 0.5));
            }
            first = false;
        }
        if (!layout.content.isEmpty() && !layout.titleBox.isEmpty()) {
            painter.setPen(QPen(kSeparator, 1));
            const qreal y = layout.titleBox.bottom() + 0.5;
            painter.drawLine(QPointF(layout.group.left(), y), QPointF(layout.group.right() + 1, y));
        }
        painter.restore();
    }
    if (!layout.cancel.isEmpty()) {
        QPainterPath cancel;
        cancel.addRoundedRect(QRectF(layout.cancel), kCornerRadius, kCornerRadius);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPath(cancel);
        painter.save();
        painter.setClipPath(cancel);
        drawButton(cancelIndex_, layout.cancel);
        painter.restore();
    }
}

// --- Input ------------------------------------------------------------------------------------

void ActionSheet::mousePressEvent(QMouseEvent* event) {
    event->accept();
    const QPoint pos = event->position().toPoint();
    pressedOutside_ = !panelRect().contains(pos);
    pressedButton_ = pressedOutside_ ? -1 : buttonAt(pos);
    update();
}

void ActionSheet::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    // A press that slides off its button lets go of it, as on the phone.
    if (pressedButton_ >= 0 && buttonAt(event->position().toPoint()) != pressedButton_) {
        pressedButton_ = -1;
        update();
    }
}

void ActionSheet::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const QPoint pos = event->position().toPoint();
    const int pressed = pressedButton_;
    const bool outside = pressedOutside_;
    pressedButton_ = -1;
    pressedOutside_ = false;
    update();
    if (pressed >= 0 && buttonAt(pos) == pressed) {
        clickButtonAtIndex(pressed);
    } else if (outside && !panelRect().contains(pos)) {
        cancel();
    }
}

void ActionSheet::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            cancel();
            return;
        case Qt::Key_Down:
        case Qt::Key_Up:
            moveKeyButton(event->key() == Qt::Key_Down);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            // Nothing is chosen before a key has lit a button.
            if (keyButton_ >= 0 && !event->isAutoRepeat()) {
                clickButtonAtIndex(keyButton_);
                return;
            }
            break;
        default:
            break;
    }
    QWidget::keyPressEvent(event);
}

bool ActionSheet::focusNextPrevChild(bool next) {
    // Tab walks the buttons and stays in the sheet; a content widget keeps the usual chain.
    if (content_) {
        return QWidget::focusNextPrevChild(next);
    }
    moveKeyButton(next);
    return true;
}

void ActionSheet::moveKeyButton(bool forward) {
    const int count = numberOfButtons();
    if (count == 0 || closing_) {
        return;
    }
    if (keyButton_ < 0) {
        keyButton_ = forward ? 0 : count - 1;
    } else {
        keyButton_ = (keyButton_ + (forward ? 1 : count - 1)) % count;
    }
    update();
}

}  // namespace oa
