// TelNoBO: the place search.
#include "core/protocol/TelNoBO.h"

#include <any>

#include "core/platform/NotificationCenter.h"
#include "core/protocol/JsonReply.h"

namespace oa {

namespace {
static_assert(distinctFields(TelVO::fields()));
}  // namespace

void TelNoBO::search(const Terms& terms) const {
    operationJson(httpJsonInfo(terms));
}

TelNoBO::Reply TelNoBO::httpJsonInfo(const Terms& terms) const {
    return HttpRequest().searchTelNo(term(terms, "city"), term(terms, "code"), term(terms, "post"));
}

TelNoBO::Places TelNoBO::operationJson(const Reply& reply) const {
    Places places = telList(reply);
    NotificationCenter::defaultCenter().post(TelNoSearchNotification::kName, std::any(places));
    return places;
}

TelNoBO::Places TelNoBO::telList(const Reply& reply) {
    Places places;
    nlohmann::json list = JsonReply::parse(reply);
    if (!list.is_array()) {
        return places;
    }
    places.reserve(list.size());
    for (nlohmann::json& element : list) {
        if (element.is_object()) {
            TelVO place;
            JsonReply::takeFields(element, place, TelVO::fields());
            places.push_back(std::move(place));
        }
    }
    return places;
}

}  // namespace oa
