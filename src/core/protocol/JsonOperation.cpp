// List, counter, reminder and message parsing.
#include "core/protocol/JsonOperation.h"

#include "core/protocol/HtmlReferences.h"
#include "core/protocol/JsonReply.h"
#include "core/protocol/ModuleCatalogue.h"
#include "core/protocol/ReplyText.h"

namespace oa {

namespace {

using nlohmann::json;

// One record per element of a JSON array reply, in reply order, held as `Held` (the record or its
// base); an element that is not an object gives a record with every field absent.
template <class Record, class Held = Record>
std::vector<std::shared_ptr<Held>> parseArray(const std::optional<std::string>& reply) {
    std::vector<std::shared_ptr<Held>> records;
    json doc = JsonReply::parse(reply);
    if (!doc.is_array()) {
        return records;
    }
    static constexpr auto fields = Record::fields();
    static_assert(distinctFields(fields));
    records.reserve(doc.size());
    for (json& element : doc) {
        auto record = std::make_shared<Record>();
        JsonReply::takeFields(element, *record, fields);
        records.push_back(std::move(record));
    }
    return records;
}

// The server keeps message texts as HTML ("&lt;", "&#39;", "&nbsp;"); they show as typed.
template <class Record>
void decodeContent(Record& record) {
    if (record.content) {
        record.content = decodeHtmlReferences(*record.content);
    }
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
    RecordList records = parseArray<Record, BaseVO>(reply);
    // The server sends the newest item first; its id is what the next request for newer items
    // starts from.
    if (!records.empty()) {
        raiseFirstID(type, records.front()->q_id);
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
    auto conversations = parseArray<MessageListVO>(reply);
    for (const auto& conversation : conversations) {
        decodeContent(*conversation);
    }
    return conversations;
}

std::vector<std::shared_ptr<MessageDetailVO>> JsonOperation::getMessageDetail(
    const Reply& reply) const {
    if (!reply) {
        return {};
    }
    auto messages = parseArray<MessageDetailVO>(cleanDialogReply(*reply));
    for (const auto& message : messages) {
        decodeContent(*message);
    }
    return messages;
}

std::shared_ptr<MessageDetailVO> JsonOperation::getSignleDetail(const Reply& reply) const {
    auto message = std::make_shared<MessageDetailVO>();
    json doc = JsonReply::parse(reply);
    JsonReply::takeFields(doc, *message, MessageDetailVO::textFields());
    decodeContent(*message);
    return message;
}

}  // namespace oa
