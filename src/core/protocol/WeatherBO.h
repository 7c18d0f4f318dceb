// The weather lookup: a city's forecast, one record per day, today first. It has no search of its
// own: the weather screen opens the forecast directly.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/protocol/DirectoryRecords.h"
#include "core/protocol/HttpRequest.h"
#include "core/protocol/OtherBaseBO.h"

namespace oa {

class WeatherBO : public OtherBaseBO {
public:
    using Reply = HttpRequest::Reply;
    using Days = std::vector<std::shared_ptr<WeatherVO>>;

    explicit WeatherBO(std::string func_type = "weather") : OtherBaseBO(std::move(func_type)) {}

    // The forecast of `cityName`: none when the exchange failed or the reply is not a JSON array.
    Days getWetherInfo(const Text& cityName) override;
    // The weather request; the reply text, absent when the exchange failed.
    Reply httpJsonInfo(const Text& cityName) const;
    // The days of a weather reply in reply order; elements that are not objects are skipped.
    static Days operationJson(const Reply& reply);
};

}  // namespace oa
