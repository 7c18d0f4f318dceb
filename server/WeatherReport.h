// Five-day forecasts: fixed ones for the seven preset cities and a stable made-up forecast for
// any other name, with the weather icon codes 0 to 31.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace oa {

class WeatherReport {
public:
    static constexpr int kDays = 5;
    // The forecast starting with `today` ("YYYY-MM-DD"): date, img1, img2, weather,
    // temperature and wind of each day.
    static nlohmann::json forecast(const std::string& city, const std::string& today);
    // The Chinese name of an icon code, "" outside 0 to 31.
    static std::string describe(int code);
};

}  // namespace oa
