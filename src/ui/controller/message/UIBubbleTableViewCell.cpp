// Cell layout: every frame follows from the row's measured text size and the bubble's side.
#include "ui/controller/message/UIBubbleTableViewCell.h"

#include <algorithm>

#include "ui/controller/message/BubbleText.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"
#include "ui/kit/ViewTags.h"

namespace oa {

namespace {

constexpr int kMaxVoiceBubbleWidth = 244;
// The user's bubble ends at 273 with its length label (32 points) to its left: capped so that
// the label keeps off the screen's edge as far as the partner's longest label does (7 points).
constexpr int kMaxMineVoiceBubbleWidth = 273 - 32 - 7;

QPixmap picture(const QString& name) {
    return image(name);
}

}  // namespace

UIBubbleTableViewCell::UIBubbleTableViewCell(QWidget* parent)
    : TableViewCell(Style::Default, kReuseIdentifier, parent),
      headerLabel_(new QLabel(contentView())),
      avatarImage_(new QLabel(contentView())),
      bubbleImage_(new StretchableImageView(contentView())),
      triangleImage_(new QLabel(contentView())),
      contentLabel_(new BubbleTextLabel(contentView())),
      voiceImage_(new QLabel(contentLabel_)),
      durationLabel_(new QLabel(contentView())) {
    setSelectionStyle(SelectionStyle::None);
    setBackgroundColor(Qt::transparent);
    headerLabel_->setAlignment(Qt::AlignCenter);
    headerLabel_->setFont(systemFont(12));
    headerLabel_->setStyleSheet(QStringLiteral("color: #808080;"));
    avatarImage_->setScaledContents(true);
    contentLabel_->setFont(bubbleTextFont());
    durationLabel_->setAlignment(Qt::AlignCenter);
    durationLabel_->setFont(systemFont(12));
    durationLabel_->setStyleSheet(QStringLiteral("color: #808080;"));
    // The text and the triangle are drawn above the bubble's picture.
    triangleImage_->raise();
    contentLabel_->raise();
}

void UIBubbleTableViewCell::setDataInternal(const NSBubbleDataInternal& row) {
    row_ = row;
    setupInternalData();
}

void UIBubbleTableViewCell::setPlayFrame(int frame) {
    frame = std::clamp(frame, 0, 3);
    if (frame == playFrame_) {
        return;
    }
    playFrame_ = frame;
    showPlayAnimation();
}

void UIBubbleTableViewCell::prepareForReuse() {
    TableViewCell::prepareForReuse();
    playFrame_ = 0;
    showPlayAnimation();
}

void UIBubbleTableViewCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    setupInternalData();
}

void UIBubbleTableViewCell::setupInternalData() {
    if (!row_.data) {
        return;
    }
    const NSBubbleData& bubble = *row_.data;
    const bool mine = bubble.isMine();
    const int cellWidth = contentView()->width() > 0 ? contentView()->width() : 320;
    const bool hasHeader = !row_.header.isEmpty();
    const int top = hasHeader ? 35 : 5;
    const int textWidth = int(row_.labelSize.width());
    const int textHeight = int(row_.labelSize.height());

    headerLabel_->setVisible(hasHeader);
    headerLabel_->setText(row_.header);
    headerLabel_->setGeometry(0, 8, cellWidth, 20);

    avatarName_ = bubble.avatar() == QLatin1String("0") ? QStringLiteral("avatar0.png")
                                                        : QStringLiteral("avatar1.png");
    avatarImage_->setPixmap(picture(avatarName_));
    avatarImage_->setGeometry(mine ? 280 : 2, top - 4, 35, 35);

    int bubbleX = 0;
    int bubbleWidth = 0;
    int bubbleHeight = 0;
    if (!bubble.isVoice()) {
        durationLabel_->hide();
        voiceImage_->hide();
        if (animation_) {
            delete animation_;
        }
        contentLabel_->setText(bubble.text());
        const int x = mine ? cellWidth - 20 - textWidth - 40 : 20 + 35;
        contentLabel_->setGeometry(x, top + 3, textWidth, textHeight);
        bubbleWidth = mine ? textWidth + 26 : textWidth + 40;
        bubbleX = mine ? 273 - bubbleWidth : 37;
        bubbleHeight = textHeight + 15;
    } else {
        const qreal seconds = bubble.duration().toDouble();
        const int maxWidth = mine ? kMaxMineVoiceBubbleWidth : kMaxVoiceBubbleWidth;
        bubbleWidth = int(std::min(14 * seconds + (mine ? 26 : 30), qreal(maxWidth)));
        bubbleWidth = std::max(bubbleWidth, 0);
        bubbleX = mine ? 273 - bubbleWidth : 37;
        bubbleHeight = 35;
        durationLabel_->setText(bubble.duration() + QStringLiteral("''"));
        durationLabel_->setAccessibleName(QStringLiteral("语音 %1 秒").arg(bubble.duration()));
        durationLabel_->setGeometry(mine ? bubbleX - 32 : bubbleX + bubbleWidth + 2, top - 4, 30,
                                    35);
        durationLabel_->show();
        contentLabel_->setText({});
        voiceName_ = mine ? QStringLiteral("voiceplay_b3") : QStringLiteral("voiceplay_a3");
        const QPixmap icon = picture(voiceName_);
        const QSize iconSize =
            icon.isNull() ? QSize(20, 20) : icon.deviceIndependentSize().toSize();
        voiceImage_->setPixmap(icon);
        voiceImage_->setGeometry(QRect(QPoint(0, 0), iconSize));
        contentLabel_->setGeometry(QRect(QPoint(mine ? 249 : 55, top + 3), iconSize));
    }

    bubbleName_ = mine ? QStringLiteral("bubbleMine.png") : QStringLiteral("bubbleSomeone.png");
    bubbleImage_->setImage(mine ? stretchableImage(bubbleName_, 15, 14)
                                : stretchableImage(bubbleName_, 21, 14));
    bubbleImage_->setGeometry(bubbleX, top - 4, bubbleWidth, bubbleHeight);
    const QPixmap triangle =
        picture(mine ? QStringLiteral("triangleMine.png") : QStringLiteral("triangleSomeone.png"));
    triangleImage_->setPixmap(triangle);
    // A sibling above the bubble rather than its child: the triangle sticks out of the bubble,
    // and a child would be clipped.
    triangleImage_->setGeometry(QRect(QPoint(bubbleX + (mine ? bubbleWidth - 1 : -1), top - 4 + 9),
                                      triangle.deviceIndependentSize().toSize()));
    showPlayAnimation();
}

void UIBubbleTableViewCell::showPlayAnimation() {
    const bool playing = playFrame_ > 0 && row_.data && row_.data->isVoice();
    if (!playing) {
        if (animation_) {
            delete animation_;
        }
        if (row_.data && row_.data->isVoice()) {
            voiceImage_->show();
        }
        return;
    }
    const bool mine = row_.data->isMine();
    if (!animation_) {
        animation_ = new QLabel(contentLabel_);
        setTag(animation_, mine ? kMineAnimationTag : kSomeoneElseAnimationTag);
    }
    setTag(animation_, mine ? kMineAnimationTag : kSomeoneElseAnimationTag);
    const QPixmap frame = picture(QStringLiteral("voiceplay_%1%2")
                                      .arg(mine ? QLatin1Char('b') : QLatin1Char('a'))
                                      .arg(playFrame_));
    animation_->setPixmap(frame);
    animation_->setGeometry(voiceImage_->geometry());
    animation_->show();
    voiceImage_->hide();
}

}  // namespace oa
