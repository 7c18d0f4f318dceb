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
};

}  // namespace oa
