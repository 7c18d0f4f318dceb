// List, counter, reminder and message parsing.
#include "core/protocol/JsonOperation.h"

#include "core/protocol/JsonReply.h"
#include "core/protocol/ModuleCatalogue.h"
#include "core/protocol/ReplyText.h"

namespace oa {

namespace {

using nlohmann::json;

Text take(json& object, const char* key) {
    return JsonReply::take(object, key);
}

void fill(NotifyVO& vo, json& o) {
    vo.read_flag = take(o, "read_flag");
    vo.subject = take(o, "subject");
    vo.subject_color = take(o, "subject_color");
    vo.top = take(o, "top");
    vo.send_time = take(o, "send_time");
    vo.from_name = take(o, "from_name");
    vo.has_attachment = take(o, "has_attachment");
}

void fill(EmailVO& vo, json& o) {
    vo.read_flag = take(o, "read_flag");
    vo.subject = take(o, "subject");
    vo.important_desc = take(o, "important_desc");
    vo.send_time = take(o, "send_time");
    vo.from_name = take(o, "from_name");
    vo.has_attachment = take(o, "has_attachment");
}

void fill(NewsVO& vo, json& o) {
    vo.read_flag = take(o, "read_flag");
    vo.subject = take(o, "subject");
    vo.subject_color = take(o, "subject_color");
    vo.send_time = take(o, "send_time");
    vo.from_name = take(o, "from_name");
    vo.click_count = take(o, "click_count");
    vo.has_attachment = take(o, "has_attachment");
}

void fill(CalendarVO& vo, json& o) {
    vo.cal_time = take(o, "cal_time");
    vo.end_time = take(o, "end_time");
    vo.cal_level_desc = take(o, "cal_level_desc");
    vo.cal_level_color = take(o, "cal_level_color");
    vo.cal_type = take(o, "cal_type");
    vo.content = take(o, "content");
}

void fill(DiaryVO& vo, json& o) {
    vo.subject = take(o, "subject");
    vo.content = take(o, "content");
    vo.has_attachment = take(o, "has_attachment");
}

void fill(FileVO& vo, json& o) {
    vo.file_type = take(o, "file_type");
    vo.name = take(o, "name");
    vo.file_ext = take(o, "file_ext");
    vo.send_time = take(o, "send_time");
    vo.has_attachment = take(o, "has_attachment");
    vo.now_id = take(o, "now_sort");
    vo.parent_id = take(o, "parent_sort");
}

void fill(SmsVO& vo, json& o) {
    vo.q_id = take(o, "q_id");
    vo.sms_url = take(o, "sms_url");
    vo.sms_type = take(o, "sms_type");
    vo.time = take(o, "time");
    vo.from_name = take(o, "from_name");
    vo.content = take(o, "content");
}

void fill(MessageListVO& vo, json& o) {
    vo.q_id = take(o, "q_id");
    vo.q_name = take(o, "q_name");
    vo.avatar = take(o, "avatar");
    vo.send_time = take(o, "send_time");
    vo.read_flag = take(o, "read_flag");
    vo.content = take(o, "content");
    vo.unread_num = take(o, "unread_num");
    vo.online = take(o, "online");
}

// The text part of a message; a single message carries no voice fields.
void fillText(MessageDetailVO& vo, json& o) {
    vo.q_id = take(o, "q_id");
    vo.q_uid = take(o, "q_uid");
    vo.q_name = take(o, "q_name");
    vo.avatar = take(o, "avatar");
    vo.send_time = take(o, "send_time");
    vo.content = take(o, "content");
    vo.msg_from = take(o, "msg_from");
    vo.msg_type_name = take(o, "msg_type_name");
}

void fill(MessageDetailVO& vo, json& o) {
    fillText(vo, o);
    vo.isvoicemsg = take(o, "isvoicemsg");
    vo.attachment_id = take(o, "attachment_id");
    vo.attachment_name = take(o, "attachment_name");
    vo.duration = take(o, "duration");
}

// One record per element of a JSON array reply, in reply order; an element that is not an object
// gives a record with every field absent.
template <class Record>
std::vector<std::shared_ptr<Record>> parseArray(const std::optional<std::string>& reply) {
    std::vector<std::shared_ptr<Record>> records;
    json doc = JsonReply::parse(reply);
    if (!doc.is_array()) {
        return records;
    }
    records.reserve(doc.size());
    for (json& element : doc) {
        auto record = std::make_shared<Record>();
        fill(*record, element);
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace

JsonOperation& JsonOperation::getInstance_json() {
    static JsonOperation instance;
    return instance;
}

std::optional<RecordList> JsonOperation::splitString(const Reply& reply, std::string_view type) {
    if (reply && (*reply == "NOMOREDATA" || *reply == "NONEWDATA")) {
        return RecordList();
    }
    std::optional<ListParserKind> parser = ModuleCatalogue::listParser(type);
    if (!parser) {
        return std::nullopt;
    }
    switch (*parser) {
        case ListParserKind::email:
            return email(reply, type);
        case ListParserKind::notify:
            return notify(reply, type);
        case ListParserKind::news:
            return news(reply, type);
        case ListParserKind::calendar:
            return calendar(reply, type);
        case ListParserKind::diary:
            return diary(reply, type);
        case ListParserKind::file:
            return file(reply, type);
    }
    return std::nullopt;
}

template <class Record>
RecordList JsonOperation::parseList(const Reply& reply, std::string_view type) {
    RecordList records;
    json doc = JsonReply::parse(reply);
    if (!doc.is_array()) {
        return records;
    }
    records.reserve(doc.size());
    for (json& element : doc) {
        auto record = std::make_shared<Record>();
        record->q_id = take(element, "q_id");
        // The server sends the newest item first; its id is what the next request for newer
        // items starts from.
        if (records.empty()) {
            raiseFirstID(type, record->q_id);
        }
        fill(*record, element);
        records.push_back(std::move(record));
    }
    return records;
}

RecordList JsonOperation::notify(const Reply& reply, std::string_view type) {
    return parseList<NotifyVO>(reply, type);
}

RecordList JsonOperation::email(const Reply& reply, std::string_view type) {
    return parseList<EmailVO>(reply, type);
}

RecordList JsonOperation::news(const Reply& reply, std::string_view type) {
    return parseList<NewsVO>(reply, type);
}

RecordList JsonOperation::calendar(const Reply& reply, std::string_view type) {
    return parseList<CalendarVO>(reply, type);
}

RecordList JsonOperation::diary(const Reply& reply, std::string_view type) {
    return parseList<DiaryVO>(reply, type);
}

RecordList JsonOperation::file(const Reply& reply, std::string_view type) {
    return parseList<FileVO>(reply, type);
}

void JsonOperation::raiseFirstID(std::string_view type, const Text& q_id) {
    if (!q_id) {
        return;
    }
    long long candidate = integerValue(*q_id);
    std::lock_guard lock(mutex_);
    auto it = firstIDs_.find(type);
    long long current = it == firstIDs_.end() ? 0 : integerValue(it->second);
    if (current >= candidate) {
        return;
    }
    if (it == firstIDs_.end()) {
        firstIDs_.emplace(std::string(type), *q_id);
    } else {
        it->second = *q_id;
    }
}

std::optional<std::string> JsonOperation::firstID(std::string_view type) const {
    std::lock_guard lock(mutex_);
    auto it = firstIDs_.find(type);
    if (it == firstIDs_.end()) {
        return std::nullopt;
    }
    return it->second;
}

JsonOperation::CounterDic JsonOperation::getModuleDic(const Reply& reply) const {
    CounterDic counters;
    json doc = JsonReply::parse(reply);
    if (!doc.is_object()) {
        return counters;
    }
    auto modules = doc.find("module");
    if (modules == doc.end() || !modules->is_array()) {
        return counters;
    }
    // Each element replaces the whole dictionary, so the last one wins.
    for (json& element : *modules) {
        counters.clear();
        if (!element.is_object()) {
            continue;
        }
        for (auto& [key, value] : element.items()) {
            if (Text counter = JsonReply::take(value)) {
                counters.emplace(key, std::move(*counter));
            }
        }
    }
    return counters;
}

std::vector<std::shared_ptr<SmsVO>> JsonOperation::getSmsList(const Reply& reply) const {
    return parseArray<SmsVO>(reply);
}

std::vector<std::shared_ptr<MessageListVO>> JsonOperation::getMessageList(
    const Reply& reply) const {
    return parseArray<MessageListVO>(reply);
}

std::vector<std::shared_ptr<MessageDetailVO>> JsonOperation::getMessageDetail(
    const Reply& reply) const {
    if (!reply) {
        return {};
    }
    return parseArray<MessageDetailVO>(cleanDialogReply(*reply));
}

std::shared_ptr<MessageDetailVO> JsonOperation::getSignleDetail(const Reply& reply) const {
    auto message = std::make_shared<MessageDetailVO>();
    json doc = JsonReply::parse(reply);
    fillText(*message, doc);
    return message;
}

}  // namespace oa
