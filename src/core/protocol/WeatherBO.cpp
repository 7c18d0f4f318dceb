// WeatherBO: the forecast request and its days.
#include "core/protocol/WeatherBO.h"

#include "core/protocol/JsonReply.h"

namespace oa {

namespace {
static_assert(distinctFields(WeatherVO::fields()));
}  // namespace

WeatherBO::Days WeatherBO::getWetherInfo(const Text& cityName) {
    return operationJson(httpJsonInfo(cityName));
}

WeatherBO::Reply WeatherBO::httpJsonInfo(const Text& cityName) const {
    return HttpRequest().getWeather(cityName);
}

WeatherBO::Days WeatherBO::operationJson(const Reply& reply) {
    return JsonReply::takeList(reply, WeatherVO::fields());
}

}  // namespace oa
