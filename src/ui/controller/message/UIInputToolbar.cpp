// UIInputToolbar: layout, the send button's state and the mode switch.
#include "ui/controller/message/UIInputToolbar.h"

#include <QPainter>

#include "ui/controller/message/UIExpandingTextView.h"
#include "ui/kit/CheckBox.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"
#include "ui/kit/LongPressButton.h"
#include "ui/kit/StretchableImage.h"

namespace oa {

namespace {

class SendButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setOpacity(isEnabled() ? 1.0 : 0.5);
        painter.drawPixmap(rect(), image(QStringLiteral("btn_background1.png")));
        painter.setPen(Qt::white);
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
};

}  // namespace

UIInputToolbar::UIInputToolbar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("inputToolbar"));
    check_ = new CheckBox(QStringLiteral("msg_type_S"), QStringLiteral("msg_type_T"), this);
    // Checked: the voice mode, with the hold-to-talk button in place of the text.
    check_->setAccessibleName(QStringLiteral("语音输入"));
    connect(check_, &QAbstractButton::clicked, this, &UIInputToolbar::chooseButtonPressed);

    textView_ = new UIExpandingTextView(this);
    textView_->setPlaceholderText(QStringLiteral("输入信息"));
    textView_->setAccessibleName(QStringLiteral("信息"));
    connect(textView_, &UIExpandingTextView::heightChangeRequested, this,
            &UIInputToolbar::fieldHeightChanged);
    connect(textView_, &UIExpandingTextView::sendRequested, this,
            &UIInputToolbar::inputButtonPressed);

    recordButton_ =
        new LongPressButton(QStringLiteral("按住说话"), QStringLiteral("btn_recordButton"), this);
    recordButton_->hide();

    inputButton_ = new SendButton(QStringLiteral("发送"), this);
    inputButton_->setFont(systemFont(13));
    inputButton_->setFocusPolicy(Qt::NoFocus);
    inputButton_->setEnabled(false);
    connect(inputButton_, &QPushButton::pressed, this, &UIInputToolbar::inputButtonPressed);
    connect(textView_, &QPlainTextEdit::textChanged, this,
            [this] { inputButton_->setEnabled(!textView_->text().isEmpty()); });

    fieldHeight_ = std::max(25, textView_->fittingHeight());
    resize(320, kHeight);
}

bool UIInputToolbar::isVoiceMode() const {
    return check_->isChecked();
}

void UIInputToolbar::inputButtonPressed() {
    const QString text = textView_->text();
    if (text.isEmpty()) {
        return;
    }
    if (delegate_) {
        delegate_->inputButtonPressed(text);
    }
    textView_->clearFocus();
    textView_->clear();
}

void UIInputToolbar::chooseButtonPressed() {
    if (isVoiceMode()) {
        textView_->clearFocus();
        textView_->hide();
        recordButton_->show();
    } else {
        recordButton_->hide();
        textView_->show();
    }
}

void UIInputToolbar::fieldHeightChanged(int height) {
    const int newHeight = std::max(25, height);
    const int delta = newHeight - fieldHeight_;
    fieldHeight_ = newHeight;
    if (delta != 0) {
        // The bottom edge stays; the bar grows (or shrinks) upward.
        setGeometry(x(), y() - delta, width(), this->height() + delta);
    }
    layoutChildren();
}

void UIInputToolbar::resizeEvent(QResizeEvent*) {
    layoutChildren();
}

void UIInputToolbar::layoutChildren() {
    check_->setGeometry(10, 7, 30, 30);
    textView_->setGeometry(50, 7, 200, fieldHeight_);
    recordButton_->setGeometry(50, 7, 200, 30);
    // The send button sits 7 points above the bottom edge.
    inputButton_->setGeometry(width() - 55 - 8, height() - 7 - 29, 55, 29);
}

void UIInputToolbar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPixmap footer = image(QStringLiteral("footer_bg.png"));
    const QSize size = footer.deviceIndependentSize().toSize();
    stretchableImage(QStringLiteral("footer_bg.png"), size.width() / 2, size.height() / 2)
        .draw(painter, rect());
}

}  // namespace oa
