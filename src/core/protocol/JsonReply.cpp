// Reading server replies with nlohmann/json without ever throwing.
#include "core/protocol/JsonReply.h"

#include <exception>

namespace oa {

nlohmann::json JsonReply::parse(const std::optional<std::string>& reply) {
    if (!reply) {
        return nlohmann::json(nlohmann::json::value_t::discarded);
    }
    try {
        return nlohmann::json::parse(*reply, nullptr, /*allow_exceptions=*/false);
    } catch (const std::exception&) {
        // Only allocation failures get here; a huge reply is treated like an unreadable one.
        return nlohmann::json(nlohmann::json::value_t::discarded);
    }
}

Text JsonReply::take(nlohmann::json& value) {
    switch (value.type()) {
        case nlohmann::json::value_t::string:
            return std::move(*value.get_ptr<std::string*>());
        case nlohmann::json::value_t::boolean:
        case nlohmann::json::value_t::number_integer:
        case nlohmann::json::value_t::number_unsigned:
        case nlohmann::json::value_t::number_float:
            return value.dump();
        default:
            return std::nullopt;
    }
}

Text JsonReply::take(nlohmann::json& object, const char* key) {
    if (!object.is_object()) {
        return std::nullopt;
    }
    auto it = object.find(key);
    if (it == object.end()) {
        return std::nullopt;
    }
    return take(*it);
}

}  // namespace oa
