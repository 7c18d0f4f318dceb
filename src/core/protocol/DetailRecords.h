// The records of one item's detail: its content, its attachments (joined texts and the lists the
// parser cuts from them) and the few values the detail screens use.
#pragma once

#include "core/protocol/BaseVO.h"

namespace oa {

// attachment_id is joined by ",", attachment_name by "*"; entry i of the two lists describes one
// attachment. attachment_url_arr is never filled by the parser.
struct EmailDetailVO : BaseVO {
    bool operator==(const EmailDetailVO&) const = default;

    Text from_uid;
    Text from_user_id;
    Text is_webmail;  // "0": a mail of the internal mail system, which can be answered
    Text content;
    Text has_attachment;
    Text attachment_id;
    Text attachment_name;
    TextList attachment_id_arr;
    TextList attachment_name_arr;
    TextList attachment_url_arr;
};

struct NotifyDetailVO : BaseVO {
    bool operator==(const NotifyDetailVO&) const = default;

    Text type_name;
    Text from_name;
    Text send_name;
    Text send_time;
    Text begin_date;
    Text subject;
    Text subject_color;
    Text time;
    Text content;
    Text has_attachment;
    Text attachment_id;
    Text attachment_name;
    TextList attachment_id_arr;
    TextList attachment_name_arr;
    TextList attachment_url_arr;
};

struct NewsDetailVO : BaseVO {
    bool operator==(const NewsDetailVO&) const = default;

    Text read_flag;
    Text subject;
    Text subject_color;
    Text send_time;
    Text from_name;
    Text click_count;
    Text has_attachment;
    Text attachment_id;
    Text attachment_name;
    Text content;
    TextList attachment_id_arr;
    TextList attachment_name_arr;
    TextList attachment_url_arr;
};

struct DiaryDetailVO : BaseVO {
    bool operator==(const DiaryDetailVO&) const = default;

    Text subject;
    Text dia_type_desc;
    Text dia_date;
    Text dia_time;
    Text content;
    Text editable;
    Text has_attachment;
    Text attachment_id;
    Text attachment_name;
    TextList attachment_id_arr;
    TextList attachment_name_arr;
    TextList attachment_url_arr;
};

struct FileDetailVO : BaseVO {
    bool operator==(const FileDetailVO&) const = default;

    Text subject;
    Text send_time;
    Text content;
    Text has_attachment;
    Text attachment_id;
    Text attachment_name;
    TextList attachment_id_arr;
    TextList attachment_name_arr;
    TextList attachment_url_arr;
};

}  // namespace oa
