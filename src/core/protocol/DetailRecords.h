// The records of one item's detail: its content, its attachments (joined texts and the lists the
// parser cuts from them) and the few values the detail screens use.
#pragma once

#include "core/protocol/BaseVO.h"

namespace oa {

// The attachments every detail record has: attachment_id is joined by ",", attachment_name by "*",
// and the parser cuts them into the lists, where entry i of the two describes one attachment.
// attachment_url_arr is never filled by the parser.
struct Attachments {
    bool operator==(const Attachments&) const = default;

    Text has_attachment;
    Text attachment_id;
    Text attachment_name;
    TextList attachment_id_arr;
    TextList attachment_name_arr;
    TextList attachment_url_arr;

    static constexpr auto lists() {
        return std::to_array<TextListField<Attachments>>({
            {"attachment_id_arr", &Attachments::attachment_id_arr},
            {"attachment_name_arr", &Attachments::attachment_name_arr},
            {"attachment_url_arr", &Attachments::attachment_url_arr},
        });
    }
};

// The texts of Attachments, in the field table of the detail record `Record`.
template <class Record>
constexpr auto attachmentFields() {
    return std::to_array<RecordField<Record>>({
        {"has_attachment", &Record::has_attachment},
        {"attachment_id", &Record::attachment_id},
        {"attachment_name", &Record::attachment_name},
    });
}

// In the field tables below, a null key marks a field the detail parser leaves absent.

struct EmailDetailVO : BaseVO, Attachments {
    bool operator==(const EmailDetailVO&) const = default;

    Text from_uid;
    Text from_user_id;
    Text is_webmail;  // "0": a mail of the internal mail system, which can be answered
    Text content;

    static constexpr auto fields() {
        const auto own = std::to_array<RecordField<EmailDetailVO>>({
            {"q_id", &EmailDetailVO::q_id},
            {"from_uid", &EmailDetailVO::from_uid},
            {"from_user_id", &EmailDetailVO::from_user_id},
            {"is_webmail", &EmailDetailVO::is_webmail},
            {"content", &EmailDetailVO::content},
        });
        return joinFields(own, attachmentFields<EmailDetailVO>());
    }
};

struct NotifyDetailVO : BaseVO, Attachments {
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

    static constexpr auto fields() {
        const auto own = std::to_array<RecordField<NotifyDetailVO>>({
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
};

struct NewsDetailVO : BaseVO, Attachments {
    bool operator==(const NewsDetailVO&) const = default;

    Text read_flag;
    Text subject;
    Text subject_color;
    Text send_time;
    Text from_name;
    Text click_count;
    Text content;

    static constexpr auto fields() {
        const auto own = std::to_array<RecordField<NewsDetailVO>>({
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
};

struct DiaryDetailVO : BaseVO, Attachments {
    bool operator==(const DiaryDetailVO&) const = default;

    Text subject;
    Text dia_type_desc;
    Text dia_date;
    Text dia_time;
    Text content;
    Text editable;

    static constexpr auto fields() {
        const auto own = std::to_array<RecordField<DiaryDetailVO>>({
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
};

struct FileDetailVO : BaseVO, Attachments {
    bool operator==(const FileDetailVO&) const = default;

    Text subject;
    Text send_time;
    Text content;

    static constexpr auto fields() {
        const auto own = std::to_array<RecordField<FileDetailVO>>({
            {"q_id", &FileDetailVO::q_id},
            {"subject", &FileDetailVO::subject},
            {"send_time", &FileDetailVO::send_time},
            {"content", &FileDetailVO::content},
        });
        return joinFields(own, attachmentFields<FileDetailVO>());
    }
};

}  // namespace oa
