// Local-time formatting for stored times.
#include "server/TimeText.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace oa {

namespace {

std::string format(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return buffer;
}

bool digits(std::string_view text, std::size_t from, std::size_t count, int& value) {
    value = 0;
    if (text.size() < from + count) {
        return false;
    }
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

std::string_view cut(std::string_view text, std::size_t from, std::size_t count) {
    return from < text.size() ? text.substr(from, count) : std::string_view();
}

// Parses "YYYY-MM-DD[ HH:MM[:SS]]" as local time.
bool parse(std::string_view text, std::tm& out) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (text.size() < 10) {
        return false;
    }
    if (!digits(text, 0, 4, y) || text[4] != '-' || !digits(text, 5, 2, mo) || text[7] != '-' ||
        !digits(text, 8, 2, d)) {
        return false;
    }
    if (text.size() >= 16 && (!digits(text, 11, 2, h) || !digits(text, 14, 2, mi))) {
        return false;
    }
    if (text.size() >= 19 && !digits(text, 17, 2, s)) {
        return false;
    }
    out = std::tm{};
    out.tm_year = y - 1900;
    out.tm_mon = mo - 1;
    out.tm_mday = d;
    out.tm_hour = h;
    out.tm_min = mi;
    out.tm_sec = s;
    out.tm_isdst = -1;
    return true;
}

}  // namespace

std::string TimeText::now() {
    return format(std::time(nullptr));
}

std::string TimeText::today() {
    return now().substr(0, 10);
}

std::string TimeText::at(std::string_view date, int dayOffset, int hour, int minute) {
    std::tm when{};
    if (!isDate(date) || !parse(date, when)) {
        const std::string day = today();
        parse(day, when);
    }
    when.tm_mday += dayOffset;
    when.tm_hour = hour;
    when.tm_min = minute;
    when.tm_sec = 0;
    when.tm_isdst = -1;
    return format(std::mktime(&when));
}

bool TimeText::isDate(std::string_view text) {
    std::tm parsed{};
    if (text.size() != 10 || !parse(text, parsed)) {
        return false;
    }
    using namespace std::chrono;
    const year_month_day ymd{year{parsed.tm_year + 1900},
                             month{static_cast<unsigned>(parsed.tm_mon + 1)},
                             day{static_cast<unsigned>(parsed.tm_mday)}};
    return ymd.ok();
}

bool TimeText::isClockTime(std::string_view text) {
    int h = 0, m = 0;
    return text.size() == 5 && digits(text, 0, 2, h) && text[2] == ':' && digits(text, 3, 2, m) &&
           h < 24 && m < 60;
}

std::string TimeText::date(std::string_view stored) {
    return std::string(cut(stored, 0, 10));
}

std::string TimeText::monthDay(std::string_view stored) {
    return std::string(cut(stored, 5, 5));
}

std::string TimeText::monthDayClock(std::string_view stored) {
    return std::string(cut(stored, 5, 11));
}

std::string TimeText::minutes(std::string_view stored) {
    return std::string(cut(stored, 0, 16));
}

long long TimeText::secondsBetween(std::string_view a, std::string_view b) {
    std::tm ta{}, tb{};
    if (!parse(a, ta) || !parse(b, tb)) {
        return 0;
    }
    return static_cast<long long>(std::difftime(std::mktime(&tb), std::mktime(&ta)));
}

}  // namespace oa
