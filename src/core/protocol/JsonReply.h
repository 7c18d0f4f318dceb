// Reading server replies with nlohmann/json without ever throwing: a reply that is absent or not
// JSON becomes a discarded value, and values are taken out of the parsed document as texts.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/protocol/BaseVO.h"

namespace oa {

class JsonReply {
public:
    // The parsed reply, or a discarded value (neither object nor array) when there is no reply
    // or it is not JSON.
    static nlohmann::json parse(const std::optional<std::string>& reply);

    // A value as a record keeps it: a string as received, a number or boolean as its JSON text;
    // null, objects and arrays are not texts and give an absent value. Strings are moved out of
    // the document, so each value is taken once.
    static Text take(nlohmann::json& value);

    // The value of `key` of an object taken as above; absent when `object` is not an object or
    // lacks the key.
    static Text take(nlohmann::json& object, const char* key);

    // Every field of the table that has a key, taken from `object` as above: absent when `object`
    // is not an object or lacks the key. Fields without a key are left as they are.
    template <class Record, std::size_t N>
    static void takeFields(nlohmann::json& object, Record& record,
                           const std::array<RecordField<Record>, N>& fields) {
        for (const RecordField<Record>& field : fields) {
            if (field.key != nullptr) {
                record.*field.member = take(object, field.key);
            }
        }
    }

    // The records of a reply that is a JSON array, one per element that is an object, in reply
    // order; an element of another kind is skipped. None when there is no reply or it is not an
    // array.
    template <class Record, std::size_t N>
    static std::vector<std::shared_ptr<Record>> takeList(
        const std::optional<std::string>& reply, const std::array<RecordField<Record>, N>& fields) {
        std::vector<std::shared_ptr<Record>> records;
        nlohmann::json list = parse(reply);
        if (!list.is_array()) {
            return records;
        }
        records.reserve(list.size());
        for (nlohmann::json& element : list) {
            if (element.is_object()) {
                auto record = std::make_shared<Record>();
                takeFields(element, *record, fields);
                records.push_back(std::move(record));
            }
        }
        return records;
    }

    // The record of a reply that is one JSON object; every field absent when there is no reply or
    // it is not an object.
    template <class Record, std::size_t N>
    static std::shared_ptr<Record> takeObject(const std::optional<std::string>& reply,
                                              const std::array<RecordField<Record>, N>& fields) {
        auto record = std::make_shared<Record>();
        nlohmann::json object = parse(reply);
        takeFields(object, *record, fields);
        return record;
    }
};

}  // namespace oa
