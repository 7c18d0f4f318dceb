// Reading server replies with nlohmann/json without ever throwing: a reply that is absent or not
// JSON becomes a discarded value, and values are taken out of the parsed document as texts.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

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
};

}  // namespace oa
