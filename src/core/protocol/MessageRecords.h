// The records of instant messages (conversations and dialog messages) and of pending-affair
// reminders.
#pragma once

#include "core/protocol/BaseVO.h"

namespace oa {

// One conversation of the conversation list.
struct MessageListVO : BaseVO {
    bool operator==(const MessageListVO&) const = default;

    Text q_name;
    Text avatar;
    Text send_time;
    Text read_flag;
    Text content;
    Text unread_num;
    Text online;

    static constexpr auto fields() {
        return std::to_array<RecordField<MessageListVO>>({
            {"q_id", &MessageListVO::q_id},
            {"q_name", &MessageListVO::q_name},
            {"avatar", &MessageListVO::avatar},
            {"send_time", &MessageListVO::send_time},
            {"read_flag", &MessageListVO::read_flag},
            {"content", &MessageListVO::content},
            {"unread_num", &MessageListVO::unread_num},
            {"online", &MessageListVO::online},
        });
    }
};

// One message of a dialog; the last four fields describe a voice message.
struct MessageDetailVO : BaseVO {
    bool operator==(const MessageDetailVO&) const = default;

    Text q_uid;
    Text q_name;
    Text avatar;
    Text send_time;
    Text content;
    Text msg_from;
    Text msg_type_name;
    Text isvoicemsg;
    Text attachment_id;
    Text attachment_name;
    Text duration;

    // The text part, which is all a single message carries.
    static constexpr auto textFields() {
        return std::to_array<RecordField<MessageDetailVO>>({
            {"q_id", &MessageDetailVO::q_id},
            {"q_uid", &MessageDetailVO::q_uid},
            {"q_name", &MessageDetailVO::q_name},
            {"avatar", &MessageDetailVO::avatar},
            {"send_time", &MessageDetailVO::send_time},
            {"content", &MessageDetailVO::content},
            {"msg_from", &MessageDetailVO::msg_from},
            {"msg_type_name", &MessageDetailVO::msg_type_name},
        });
    }

    static constexpr auto voiceFields() {
        return std::to_array<RecordField<MessageDetailVO>>({
            {"isvoicemsg", &MessageDetailVO::isvoicemsg},
            {"attachment_id", &MessageDetailVO::attachment_id},
            {"attachment_name", &MessageDetailVO::attachment_name},
            {"duration", &MessageDetailVO::duration},
        });
    }

    static constexpr auto fields() { return joinFields(textFields(), voiceFields()); }
};

// One pending-affair reminder. Not a BaseVO: reminders never travel with the module records.
struct SmsVO {
    bool operator==(const SmsVO&) const = default;

    Text q_id;
    Text sms_url;
    Text sms_type;  // the reminder kind, see ModuleCatalogue::reminderModule
    Text time;
    Text from_name;
    Text content;

    static constexpr auto fields() {
        return std::to_array<RecordField<SmsVO>>({
            {"q_id", &SmsVO::q_id},
            {"sms_url", &SmsVO::sms_url},
            {"sms_type", &SmsVO::sms_type},
            {"time", &SmsVO::time},
            {"from_name", &SmsVO::from_name},
            {"content", &SmsVO::content},
        });
    }
};

}  // namespace oa
