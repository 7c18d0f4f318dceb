// Forecast generation.
#include "server/WeatherReport.h"

#include <array>
#include <ctime>
#include <map>

#include "server/TimeText.h"

namespace oa {

namespace {

constexpr std::array<const char*, 32> kNames = {"晴",           "多云",
                                                "阴",           "阵雨",
                                                "雷阵雨",       "雷阵雨伴有冰雹",
                                                "雨夹雪",       "小雨",
                                                "中雨",         "大雨",
                                                "暴雨",         "大暴雨",
                                                "特大暴雨",     "阵雪",
                                                "小雪",         "中雪",
                                                "大雪",         "暴雪",
                                                "雾",           "冻雨",
                                                "沙尘暴",       "小到中雨",
                                                "中到大雨",     "大到暴雨",
                                                "暴雨到大暴雨", "大暴雨到特大暴雨",
                                                "小到中雪",     "中到大雪",
                                                "大到暴雪",     "浮尘",
                                                "扬沙",         "强沙尘暴"};

struct Day {
    int img1, img2, high, low;
    const char* wind;
};

using Days = std::array<Day, WeatherReport::kDays>;

const std::map<std::string, Days>& presets() {
    static const std::map<std::string, Days> cities = {
        {"北京",
         {{{0, 1, 31, 20, "北风3-4级"},
           {1, 1, 30, 21, "微风"},
           {4, 3, 27, 19, "南风3-4级"},
           {7, 1, 25, 18, "微风"},
           {0, 0, 29, 18, "北风4-5级"}}}},
        {"上海",
         {{{3, 7, 29, 24, "东南风3-4级"},
           {7, 8, 27, 23, "东风4-5级"},
           {8, 7, 26, 22, "东风3-4级"},
           {1, 0, 30, 24, "微风"},
           {0, 1, 32, 25, "南风3-4级"}}}},
        {"广州",
         {{{4, 4, 33, 26, "微风"},
           {3, 4, 32, 26, "南风3-4级"},
           {9, 8, 30, 25, "东南风3-4级"},
           {4, 3, 32, 26, "微风"},
           {1, 4, 33, 27, "微风"}}}},
        {"深圳",
         {{{1, 3, 32, 27, "东南风3-4级"},
           {3, 3, 31, 26, "东南风4-5级"},
           {10, 9, 29, 25, "东风5-6级"},
           {8, 3, 30, 26, "东南风3-4级"},
           {1, 1, 32, 27, "微风"}}}},
        {"香港",
         {{{1, 1, 32, 27, "东风3-4级"},
           {3, 4, 31, 27, "东风4-5级"},
           {4, 3, 30, 26, "东风3-4级"},
           {1, 0, 32, 27, "微风"},
           {0, 1, 33, 28, "东南风3-4级"}}}},
        {"重庆",
         {{{0, 0, 36, 27, "微风"},
           {0, 1, 37, 28, "微风"},
           {1, 4, 35, 27, "微风"},
           {4, 7, 32, 25, "北风3-4级"},
           {2, 1, 33, 25, "微风"}}}},
        {"南京",
         {{{2, 7, 30, 23, "东风3-4级"},
           {7, 8, 27, 22, "东北风3-4级"},
           {21, 7, 26, 21, "东风4-5级"},
           {1, 1, 29, 22, "微风"},
           {0, 1, 31, 23, "南风3-4级"}}}},
    };
    return cities;
}

unsigned hashOf(const std::string& text) {
    unsigned h = 2166136261u;
    for (char c : text) {
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return h;
}

// A made-up but stable forecast: mostly fair weather codes, temperatures from the name.
Days madeUp(const std::string& city) {
    static const int common[] = {0, 1, 2, 3, 7, 1, 0, 8, 4, 18, 2, 14, 29};
    static const char* winds[] = {"微风", "北风3-4级", "东风3-4级", "南风4-5级", "西北风4-5级"};
    unsigned h = hashOf(city);
    Days days{};
    const int base = 12 + static_cast<int>(h % 20);
    for (Day& d : days) {
        h = h * 1103515245u + 12345u;
        d.img1 = common[(h >> 8) % std::size(common)];
        d.img2 = common[(h >> 16) % std::size(common)];
        d.high = base + static_cast<int>((h >> 4) % 6);
        d.low = d.high - 6 - static_cast<int>((h >> 12) % 5);
        d.wind = winds[(h >> 20) % std::size(winds)];
    }
    return days;
}

}  // namespace

std::string WeatherReport::describe(int code) {
    return code >= 0 && code < static_cast<int>(kNames.size())
               ? kNames[static_cast<std::size_t>(code)]
               : "";
}

nlohmann::json WeatherReport::forecast(const std::string& city, const std::string& today) {
    const auto preset = presets().find(city);
    const Days days = preset != presets().end() ? preset->second : madeUp(city);
    static const char* weekdays[] = {"星期日", "星期一", "星期二", "星期三",
                                     "星期四", "星期五", "星期六"};
    nlohmann::json out = nlohmann::json::array();
    for (int i = 0; i < kDays; ++i) {
        const Day& d = days[static_cast<std::size_t>(i)];
        const std::string date = TimeText::date(TimeText::at(today, i, 12, 0));
        std::tm parts{};
        parts.tm_year = std::stoi(date.substr(0, 4)) - 1900;
        parts.tm_mon = std::stoi(date.substr(5, 2)) - 1;
        parts.tm_mday = std::stoi(date.substr(8, 2));
        parts.tm_hour = 12;
        std::mktime(&parts);
        const std::string day = std::to_string(parts.tm_mon + 1) + "月" +
                                std::to_string(parts.tm_mday) + "日 " + weekdays[parts.tm_wday % 7];
        const std::string weather =
            d.img1 == d.img2 ? describe(d.img1) : describe(d.img1) + "转" + describe(d.img2);
        out.push_back({{"date", day},
                       {"img1", std::to_string(d.img1)},
                       {"img2", std::to_string(d.img2)},
                       {"weather", weather},
                       {"temperature", std::to_string(d.low) + "℃~" + std::to_string(d.high) + "℃"},
                       {"wind", d.wind}});
    }
    return out;
}

}  // namespace oa
