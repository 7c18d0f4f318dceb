// One bubble of the dialog's timeline as its data source hands it over: a text or a voice
// message, on the user's side or the partner's, with the date line shown above it. Immutable.
#pragma once

#include <QString>
#include <memory>

namespace oa {

class NSBubbleData {
public:
    // The side a bubble is drawn on.
    enum Type { Mine = 0, SomeoneElse = 1 };

    // A text bubble. An empty text is kept as one space, so that the bubble has a line.
    static std::shared_ptr<const NSBubbleData> dataWithText(const QString& text,
                                                            const QString& dateString, int type,
                                                            const QString& avatar);
    // A voice bubble of `duration` seconds (decimal text); its text is empty.
    static std::shared_ptr<const NSBubbleData> dataWithDuration(const QString& duration,
                                                                const QString& dateString, int type,
                                                                const QString& attachment_id,
                                                                const QString& attachment_name,
                                                                const QString& avatar);

    bool isVoice() const { return isVoice_; }
    int type() const { return type_; }
    bool isMine() const { return type_ == Mine; }
    const QString& text() const { return text_; }
    const QString& dateString() const { return dateString_; }
    const QString& duration() const { return duration_; }
    const QString& attachment_id() const { return attachment_id_; }
    const QString& attachment_name() const { return attachment_name_; }
    const QString& avatar() const { return avatar_; }

private:
    NSBubbleData() = default;

    bool isVoice_ = false;
    int type_ = Mine;
    QString text_;
    QString dateString_;
    QString duration_;
    QString attachment_id_;
    QString attachment_name_;
    QString avatar_;
};

using NSBubbleDataPtr = std::shared_ptr<const NSBubbleData>;

}  // namespace oa
