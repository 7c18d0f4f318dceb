// The records of one item's detail: its content, its attachments (joined texts and the lists the
// parser cuts from them) and the few values the detail screens use.
#pragma once

#include "core/protocol/BaseVO.h"

namespace oa {

// In the field tables below, a null key marks a field the detail parser leaves absent.

// The attachment fields every detail record has: attachment_id is joined by ",", attachment_name
// by "*", and the parser cuts them into the lists, where entry i of the two describes one
// attachment. attachment_url_arr is never filled by the parser.
template <class Record>
constexpr auto attachmentFields() {
    return std::to_array<TextField<Record>>({
        {"has_attachment", &Record::has_attachment},
        {"attachment_id", &Record::attachment_id},
        {"attachment_name", &Record::attachment_name},
    });
}

template <class Record>
constexpr auto attachmentLists() {
    return std::to_array<TextListField<Record>>({
        {"attachment_id_arr", &Record::attachment_id_arr},
        {"attachment_name_arr", &Record::attachment_name_arr},
        {"attachment_url_arr", &Record::attachment_url_arr},
    });
}

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

    static constexpr auto fields() {
        const auto own = std::to_array<TextField<EmailDetailVO>>({
            {"q_id", &EmailDetailVO::q_id},
            {"from_uid", &EmailDetailVO::from_uid},
            {"from_user_id", &EmailDetailVO::from_user_id},
            {"is_webmail", &EmailDetailVO::is_webmail},
            {"content", &EmailDetailVO::content},
        });
        return joinFields(own, attachmentFields<EmailDetailVO>());
    }
    static constexpr auto lists() { return attachmentLists<EmailDetailVO>(); }
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

    static constexpr auto fields() {
        const auto own = std::to_array<TextField<NotifyDetailVO>>({
            {"q_id", &NotifyDetailVO::q_id},
            {"type_name", &NotifyDetailVO::type_name},
            {"from_name", &NotifyDetailVO::from_name},
            {"send_name", &NotifyDetailVO::send_name, nullptr},
            {"send_time", &NotifyDetailVO::send_time},
            {"begin_date", &NotifyDetailVO::begin_date},
            {"subject", &NotifyDetailVO::subject},
            {"subject_color", &NotifyDetailVO::subject_color},
            {"time", &NotifyDetailVO::time, nullptr},
            {"content", &NotifyDetailVO::content},
        });
        return joinFields(own, attachmentFields<NotifyDetailVO>());
    }
    static constexpr auto lists() { return attachmentLists<NotifyDetailVO>(); }
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

    static constexpr auto fields() {
        const auto own = std::to_array<TextField<NewsDetailVO>>({
            {"q_id", &NewsDetailVO::q_id, nullptr},
            {"read_flag", &NewsDetailVO::read_flag, nullptr},
            {"subject", &NewsDetailVO::subject, nullptr},
            {"subject_color", &NewsDetailVO::subject_color, nullptr},
            {"send_time", &NewsDetailVO::send_time},
            {"from_name", &NewsDetailVO::from_name, nullptr},
            {"click_count", &NewsDetailVO::click_count},
            {"content", &NewsDetailVO::content},
        });
        return joinFields(own, attachmentFields<NewsDetailVO>());
    }
    static constexpr auto lists() { return attachmentLists<NewsDetailVO>(); }
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

    static constexpr auto fields() {
        const auto own = std::to_array<TextField<DiaryDetailVO>>({
            {"q_id", &DiaryDetailVO::q_id},
            {"subject", &DiaryDetailVO::subject},
            {"dia_type_desc", &DiaryDetailVO::dia_type_desc},
            {"dia_date", &DiaryDetailVO::dia_date},
            {"dia_time", &DiaryDetailVO::dia_time},
            {"content", &DiaryDetailVO::content},
            {"editable", &DiaryDetailVO::editable},
        });
        return joinFields(own, attachmentFields<DiaryDetailVO>());
    }
    static constexpr auto lists() { return attachmentLists<DiaryDetailVO>(); }
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

    static constexpr auto fields() {
        const auto own = std::to_array<TextField<FileDetailVO>>({
            {"q_id", &FileDetailVO::q_id},
            {"subject", &FileDetailVO::subject},
            {"send_time", &FileDetailVO::send_time},
            {"content", &FileDetailVO::content},
        });
        return joinFields(own, attachmentFields<FileDetailVO>());
    }
    static constexpr auto lists() { return attachmentLists<FileDetailVO>(); }
};

}  // namespace oa
