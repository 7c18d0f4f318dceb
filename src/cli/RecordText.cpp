// The JSON lines oa-cli prints for records.
#include "cli/RecordText.h"

#include <iostream>

#include <nlohmann/json.hpp>

namespace oa::cli {
namespace {

using nlohmann::json;

class Fields {
public:
    Fields& add(const char* name, const Text& value) {
        if (value) {
            object_[name] = *value;
        }
        return *this;
    }
    Fields& add(const char* name, const TextList& value) {
        if (value) {
            object_[name] = *value;
        }
        return *this;
    }
    // Texts from the server need not be UTF-8; such bytes print as U+FFFD.
    std::string text() const {
        return object_.dump(-1, ' ', false, json::error_handler_t::replace);
    }

private:
    json object_ = json::object();
};

template <class Detail>
void addAttachments(Fields& fields, const Detail& r) {
    fields.add("has_attachment", r.has_attachment)
        .add("attachment_id", r.attachment_id)
        .add("attachment_name", r.attachment_name)
        .add("attachment_id_arr", r.attachment_id_arr)
        .add("attachment_name_arr", r.attachment_name_arr)
        .add("attachment_url_arr", r.attachment_url_arr);
}

void describe(Fields& fields, const NotifyVO& r) {
    fields.add("read_flag", r.read_flag)
        .add("subject", r.subject)
        .add("subject_color", r.subject_color)
        .add("top", r.top)
        .add("send_time", r.send_time)
        .add("from_name", r.from_name)
        .add("has_attachment", r.has_attachment);
}

void describe(Fields& fields, const EmailVO& r) {
    fields.add("read_flag", r.read_flag)
        .add("subject", r.subject)
        .add("important_desc", r.important_desc)
        .add("send_time", r.send_time)
        .add("from_name", r.from_name)
        .add("has_attachment", r.has_attachment);
}

void describe(Fields& fields, const NewsVO& r) {
    fields.add("read_flag", r.read_flag)
        .add("subject", r.subject)
        .add("subject_color", r.subject_color)
        .add("send_time", r.send_time)
        .add("from_name", r.from_name)
        .add("click_count", r.click_count)
        .add("has_attachment", r.has_attachment);
}

void describe(Fields& fields, const CalendarVO& r) {
    fields.add("cal_time", r.cal_time)
        .add("end_time", r.end_time)
        .add("cal_level_desc", r.cal_level_desc)
        .add("cal_level_color", r.cal_level_color)
        .add("cal_type", r.cal_type)
        .add("content", r.content);
}

void describe(Fields& fields, const DiaryVO& r) {
    fields.add("subject", r.subject)
        .add("content", r.content)
        .add("has_attachment", r.has_attachment);
}

void describe(Fields& fields, const FileVO& r) {
    fields.add("file_type", r.file_type)
        .add("name", r.name)
        .add("file_ext", r.file_ext)
        .add("send_time", r.send_time)
        .add("has_attachment", r.has_attachment)
        .add("now_id", r.now_id)
        .add("parent_id", r.parent_id);
}

void describe(Fields& fields, const MessageListVO& r) {
    fields.add("q_name", r.q_name)
        .add("avatar", r.avatar)
        .add("send_time", r.send_time)
        .add("read_flag", r.read_flag)
        .add("content", r.content)
        .add("unread_num", r.unread_num)
        .add("online", r.online);
}

void describe(Fields& fields, const MessageDetailVO& r) {
    fields.add("q_uid", r.q_uid)
        .add("q_name", r.q_name)
        .add("avatar", r.avatar)
        .add("send_time", r.send_time)
        .add("content", r.content)
        .add("msg_from", r.msg_from)
        .add("msg_type_name", r.msg_type_name)
        .add("isvoicemsg", r.isvoicemsg)
        .add("attachment_id", r.attachment_id)
        .add("attachment_name", r.attachment_name)
        .add("duration", r.duration);
}

void describe(Fields& fields, const EmailDetailVO& r) {
    fields.add("from_uid", r.from_uid)
        .add("from_user_id", r.from_user_id)
        .add("is_webmail", r.is_webmail)
        .add("content", r.content);
    addAttachments(fields, r);
}

void describe(Fields& fields, const NotifyDetailVO& r) {
    fields.add("type_name", r.type_name)
        .add("from_name", r.from_name)
        .add("send_name", r.send_name)
        .add("send_time", r.send_time)
        .add("begin_date", r.begin_date)
        .add("subject", r.subject)
        .add("subject_color", r.subject_color)
        .add("time", r.time)
        .add("content", r.content);
    addAttachments(fields, r);
}

void describe(Fields& fields, const NewsDetailVO& r) {
    fields.add("read_flag", r.read_flag)
        .add("subject", r.subject)
        .add("subject_color", r.subject_color)
        .add("send_time", r.send_time)
        .add("from_name", r.from_name)
        .add("click_count", r.click_count)
        .add("content", r.content);
    addAttachments(fields, r);
}

void describe(Fields& fields, const DiaryDetailVO& r) {
    fields.add("subject", r.subject)
        .add("dia_type_desc", r.dia_type_desc)
        .add("dia_date", r.dia_date)
        .add("dia_time", r.dia_time)
        .add("content", r.content)
        .add("editable", r.editable);
    addAttachments(fields, r);
}

void describe(Fields& fields, const FileDetailVO& r) {
    fields.add("subject", r.subject).add("send_time", r.send_time).add("content", r.content);
    addAttachments(fields, r);
}

template <class Record>
bool describeAs(Fields& fields, const BaseVO& record) {
    const auto* r = dynamic_cast<const Record*>(&record);
    if (r) {
        describe(fields, *r);
    }
    return r != nullptr;
}

}  // namespace

std::string recordText(const BaseVO& record) {
    Fields fields;
    fields.add("q_id", record.q_id);
    describeAs<NotifyVO>(fields, record) || describeAs<EmailVO>(fields, record) ||
        describeAs<NewsVO>(fields, record) || describeAs<CalendarVO>(fields, record) ||
        describeAs<DiaryVO>(fields, record) || describeAs<FileVO>(fields, record) ||
        describeAs<MessageListVO>(fields, record) || describeAs<MessageDetailVO>(fields, record) ||
        describeAs<EmailDetailVO>(fields, record) || describeAs<NotifyDetailVO>(fields, record) ||
        describeAs<NewsDetailVO>(fields, record) || describeAs<DiaryDetailVO>(fields, record) ||
        describeAs<FileDetailVO>(fields, record);
    return fields.text();
}

std::string recordText(const SmsVO& record) {
    Fields fields;
    fields.add("q_id", record.q_id)
        .add("sms_url", record.sms_url)
        .add("sms_type", record.sms_type)
        .add("time", record.time)
        .add("from_name", record.from_name)
        .add("content", record.content);
    return fields.text();
}

template <class Record>
void printRecords(const std::vector<std::shared_ptr<Record>>& records) {
    for (const auto& record : records) {
        if (record) {
            std::cout << recordText(*record) << "\n";
        }
    }
}

template void printRecords(const std::vector<std::shared_ptr<BaseVO>>&);
template void printRecords(const std::vector<std::shared_ptr<SmsVO>>&);
template void printRecords(const std::vector<std::shared_ptr<MessageListVO>>&);
template void printRecords(const std::vector<std::shared_ptr<MessageDetailVO>>&);

}  // namespace oa::cli
