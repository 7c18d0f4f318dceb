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

// Every field of the record's table, and the attachment lists of a detail record.
template <class Record>
void describe(Fields& fields, const Record& r) {
    static_assert(distinctFields(Record::fields()));
    for (const RecordField<Record>& field : Record::fields()) {
        fields.add(field.name, r.*field.member);
    }
    if constexpr (requires { Record::lists(); }) {
        for (const auto& list : Record::lists()) {
            fields.add(list.name, r.*list.member);
        }
    }
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
    const bool described =
        describeAs<NotifyVO>(fields, record) || describeAs<EmailVO>(fields, record) ||
        describeAs<NewsVO>(fields, record) || describeAs<CalendarVO>(fields, record) ||
        describeAs<DiaryVO>(fields, record) || describeAs<FileVO>(fields, record) ||
        describeAs<MessageListVO>(fields, record) || describeAs<MessageDetailVO>(fields, record) ||
        describeAs<EmailDetailVO>(fields, record) || describeAs<NotifyDetailVO>(fields, record) ||
        describeAs<NewsDetailVO>(fields, record) || describeAs<DiaryDetailVO>(fields, record) ||
        describeAs<FileDetailVO>(fields, record) || describeAs<UserVO>(fields, record) ||
        describeAs<AddressVO>(fields, record) || describeAs<AddressDetailVO>(fields, record) ||
        describeAs<WeatherVO>(fields, record);
    // Any other record (a plain BaseVO after an empty detail reply) shows its id alone.
    if (!described) {
        fields.add("q_id", record.q_id);
    }
    return fields.text();
}

std::string recordText(const SmsVO& record) {
    Fields fields;
    describe(fields, record);
    return fields.text();
}

std::string recordText(const TelVO& record) {
    Fields fields;
    describe(fields, record);
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
template void printRecords(const std::vector<std::shared_ptr<UserVO>>&);
template void printRecords(const std::vector<std::shared_ptr<AddressVO>>&);
template void printRecords(const std::vector<std::shared_ptr<WeatherVO>>&);

}  // namespace oa::cli
