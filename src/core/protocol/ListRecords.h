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

    static constexpr auto fields() {
        return std::to_array<RecordField<NotifyVO>>({
            {"q_id", &NotifyVO::q_id},
            {"read_flag", &NotifyVO::read_flag},
            {"subject", &NotifyVO::subject},
            {"subject_color", &NotifyVO::subject_color},
            {"top", &NotifyVO::top},
            {"send_time", &NotifyVO::send_time},
            {"from_name", &NotifyVO::from_name},
            {"has_attachment", &NotifyVO::has_attachment},
        });
    }
};

struct EmailVO : BaseVO {
    bool operator==(const EmailVO&) const = default;

    Text read_flag;
    Text subject;
    Text important_desc;
    Text send_time;
    Text from_name;
    Text has_attachment;

    static constexpr auto fields() {
        return std::to_array<RecordField<EmailVO>>({
            {"q_id", &EmailVO::q_id},
            {"read_flag", &EmailVO::read_flag},
            {"subject", &EmailVO::subject},
            {"important_desc", &EmailVO::important_desc},
            {"send_time", &EmailVO::send_time},
            {"from_name", &EmailVO::from_name},
            {"has_attachment", &EmailVO::has_attachment},
        });
    }
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

    static constexpr auto fields() {
        return std::to_array<RecordField<NewsVO>>({
            {"q_id", &NewsVO::q_id},
            {"read_flag", &NewsVO::read_flag},
            {"subject", &NewsVO::subject},
            {"subject_color", &NewsVO::subject_color},
            {"send_time", &NewsVO::send_time},
            {"from_name", &NewsVO::from_name},
            {"click_count", &NewsVO::click_count},
            {"has_attachment", &NewsVO::has_attachment},
        });
    }
};

struct CalendarVO : BaseVO {
    bool operator==(const CalendarVO&) const = default;

    Text cal_time;
    Text end_time;
    Text cal_level_desc;
    Text cal_level_color;  // "#rrggbb"
    Text cal_type;
    Text content;
    Text cal_date;  // "YYYY-MM-DD"; sent by servers that list more than today's entries

    static constexpr auto fields() {
        return std::to_array<RecordField<CalendarVO>>({
            {"q_id", &CalendarVO::q_id},
            {"cal_time", &CalendarVO::cal_time},
            {"end_time", &CalendarVO::end_time},
            {"cal_level_desc", &CalendarVO::cal_level_desc},
            {"cal_level_color", &CalendarVO::cal_level_color},
            {"cal_type", &CalendarVO::cal_type},
            {"content", &CalendarVO::content},
            {"cal_date", &CalendarVO::cal_date},
        });
    }
};

struct DiaryVO : BaseVO {
    bool operator==(const DiaryVO&) const = default;

    Text subject;
    Text content;
    Text has_attachment;

    static constexpr auto fields() {
        return std::to_array<RecordField<DiaryVO>>({
            {"q_id", &DiaryVO::q_id},
            {"subject", &DiaryVO::subject},
            {"content", &DiaryVO::content},
            {"has_attachment", &DiaryVO::has_attachment},
        });
    }
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

    static constexpr auto fields() {
        return std::to_array<RecordField<FileVO>>({
            {"q_id", &FileVO::q_id},
            {"file_type", &FileVO::file_type},
            {"name", &FileVO::name},
            {"file_ext", &FileVO::file_ext},
            {"send_time", &FileVO::send_time},
            {"has_attachment", &FileVO::has_attachment},
            {"now_id", &FileVO::now_id, "now_sort"},
            {"parent_id", &FileVO::parent_id, "parent_sort"},
        });
    }
};

}  // namespace oa
