// Fuzz target: any bytes as the reply of a directory lookup (person search and card, contact
// search and card, places, forecast). Nothing may crash or throw; each list holds one record per
// object of the reply's array and nothing else, and a card of a reply that is not an object has
// every field absent.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <nlohmann/json.hpp>

#include "core/protocol/AddressBO.h"
#include "core/protocol/TelNoBO.h"
#include "core/protocol/UserBO.h"
#include "core/protocol/WeatherBO.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// How many records a list parser must make of the reply: its array's objects.
std::size_t objectsIn(const nlohmann::json& reply) {
    if (!reply.is_array()) {
        return 0;
    }
    return static_cast<std::size_t>(
        std::count_if(reply.begin(), reply.end(), [](const auto& e) { return e.is_object(); }));
}

template <class List>
bool noneNull(const List& list) {
    return std::all_of(list.begin(), list.end(), [](const auto& record) { return record; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace oa;
    const std::string reply(reinterpret_cast<const char*>(data), size);
    const nlohmann::json parsed = nlohmann::json::parse(reply, nullptr, false);
    const std::size_t objects = objectsIn(parsed);

    const auto people = UserBO::userList(reply);
    require(people.size() == objects && noneNull(people));
    const auto contacts = AddressBO::addressList(reply);
    require(contacts.size() == objects && noneNull(contacts));
    require(TelNoBO::telList(reply).size() == objects);
    const auto days = WeatherBO::operationJson(reply);
    require(days.size() == objects && noneNull(days));

    const auto person = UserBO::userDetail(reply);
    const auto card = AddressBO::operationDetailJson(reply);
    require(person && card);
    if (!parsed.is_object()) {
        require(*person == UserVO());
        require(*card == AddressDetailVO());
    }
    // Search and card read different keys: a card never carries the search's uid, a search
    // result never a mobile number.
    require(!person->user_uid);
    require(std::none_of(people.begin(), people.end(), [](const auto& p) { return p->mobil_no; }));
    return 0;
}
