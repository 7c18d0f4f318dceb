// One row of the bubble timeline: the date line, the avatar and a text or voice bubble on the
// partner's side (left) or the user's (right). A voice bubble can show the play animation.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QString>

#include "ui/controller/message/NSBubbleDataInternal.h"
#include "ui/kit/StretchableImage.h"
#include "ui/kit/TableViewCell.h"

namespace oa {

class UIBubbleTableViewCell : public TableViewCell {
    Q_OBJECT
public:
    static inline const QString kReuseIdentifier = QStringLiteral("tblBubbleCell");
    // Tags of the play animation's picture inside contentLabel.
    static constexpr int kMineAnimationTag = 1;
    static constexpr int kSomeoneElseAnimationTag = 2;

    explicit UIBubbleTableViewCell(QWidget* parent = nullptr);

    const NSBubbleDataInternal& dataInternal() const { return row_; }
    void setDataInternal(const NSBubbleDataInternal& row);

    // The play animation of a voice bubble: frame 1 to 3 shows that frame; 0 removes the
    // animation and shows the resting icon again.
    int playFrame() const { return playFrame_; }
    void setPlayFrame(int frame);

    QLabel* avatarImage() const { return avatarImage_; }
    QLabel* headerLabel() const { return headerLabel_; }
    QLabel* contentLabel() const { return contentLabel_; }
    StretchableImageView* bubbleImage() const { return bubbleImage_; }
    QLabel* triangleImage() const { return triangleImage_; }
    QLabel* voiceImage() const { return voiceImage_; }
    QLabel* durationLabel() const { return durationLabel_; }

    // The names of the pictures shown, for the views above.
    const QString& avatarImageName() const { return avatarName_; }
    const QString& bubbleImageName() const { return bubbleName_; }
    const QString& voiceImageName() const { return voiceName_; }

    void prepareForReuse() override;

protected:
    void layoutSubviews() override;

private:
    void setupInternalData();
    void showPlayAnimation();

    NSBubbleDataInternal row_;
    int playFrame_ = 0;
    QLabel* headerLabel_;
    QLabel* avatarImage_;
    StretchableImageView* bubbleImage_;
    QLabel* triangleImage_;
    QLabel* contentLabel_;
    QLabel* voiceImage_;
    QLabel* durationLabel_;
    QPointer<QLabel> animation_;
    QString avatarName_;
    QString bubbleName_;
    QString voiceName_;
};

}  // namespace oa
