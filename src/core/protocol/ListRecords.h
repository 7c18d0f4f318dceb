// The records of the module lists: one row of e-mail, notices, news, schedule, diaries or a file
// cabinet, each field named after the server's key.
#pragma once

#include "core/protocol/BaseVO.h"

namespace oa {

// Also the row of the workflow, address-book and area-code lists, which the server sends in the
// notice form.
struct NotifyVO : BaseVO {
    bool operator==(const NotifyVO&) const = default;

    Text read_flag;  // "0": unread
    Text subject;
    Text subject_color;  // "#rrggbb"
    Text top;            // "1": pinned to the top
    Text send_time;
    Text from_name;
    Text has_attachment;  // "1": has attachments
};

struct EmailVO : BaseVO {
    bool operator==(const EmailVO&) const = default;

    Text read_flag;
    Text subject;
    Text important_desc;
    Text send_time;
    Text from_name;
    Text has_attachment;
};

struct NewsVO : BaseVO {
    bool operator==(const NewsVO&) const = default;

    Text read_flag;
    Text subject;
    Text subject_color;
    Text send_time;
    Text from_name;
    Text click_count;
    Text has_attachment;
};

struct CalendarVO : BaseVO {
    bool operator==(const CalendarVO&) const = default;

    Text cal_time;
    Text end_time;
    Text cal_level_desc;
    Text cal_level_color;  // "#rrggbb"
    Text cal_type;
    Text content;
};

struct DiaryVO : BaseVO {
    bool operator==(const DiaryVO&) const = default;

    Text subject;
    Text content;
    Text has_attachment;
};

struct FileVO : BaseVO {
    bool operator==(const FileVO&) const = default;

    Text file_type;  // "file" or "folder"
    Text name;
    Text file_ext;
    Text send_time;
    Text has_attachment;
    Text now_id;     // from the server's "now_sort"
    Text parent_id;  // from the server's "parent_sort"
};

}  // namespace oa
