#include "ui/controller/message/NSBubbleData.h"

namespace oa {

std::shared_ptr<const NSBubbleData> NSBubbleData::dataWithText(const QString& text,
                                                               const QString& dateString, int type,
                                                               const QString& avatar) {
    std::shared_ptr<NSBubbleData> data(new NSBubbleData);
    data->text_ = text.isEmpty() ? QStringLiteral(" ") : text;
    data->dateString_ = dateString;
    data->type_ = type;
    data->avatar_ = avatar;
    return data;
}

std::shared_ptr<const NSBubbleData> NSBubbleData::dataWithDuration(
    const QString& duration, const QString& dateString, int type, const QString& attachment_id,
    const QString& attachment_name, const QString& avatar) {
    std::shared_ptr<NSBubbleData> data(new NSBubbleData);
    data->isVoice_ = true;
    data->duration_ = duration;
    data->dateString_ = dateString;
    data->type_ = type;
    data->attachment_id_ = attachment_id;
    data->attachment_name_ = attachment_name;
    data->avatar_ = avatar;
    return data;
}

}  // namespace oa
