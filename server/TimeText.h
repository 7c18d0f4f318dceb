// Times as the server stores and shows them: "YYYY-MM-DD HH:MM:SS" in the database, shorter forms
// in list replies.
#pragma once

#include <string>
#include <string_view>

namespace oa {

class TimeText {
public:
    // The current local time, "YYYY-MM-DD HH:MM:SS".
    static std::string now();
    // Today's local date, "YYYY-MM-DD".
    static std::string today();

    // A stored time moved by whole days and set to the given clock time; `date` is
    // "YYYY-MM-DD" (anything shorter gives today).
    static std::string at(std::string_view date, int dayOffset, int hour, int minute);
    // True for "YYYY-MM-DD" with a real calendar date.
    static bool isDate(std::string_view text);
    // True for "HH:MM" on a 24-hour clock.
    static bool isClockTime(std::string_view text);

    // Parts of a stored time; short input gives what it has.
    static std::string date(std::string_view stored);           // "YYYY-MM-DD"
    static std::string monthDay(std::string_view stored);       // "MM-DD"
    static std::string monthDayClock(std::string_view stored);  // "MM-DD HH:MM"
    static std::string minutes(std::string_view stored);        // "YYYY-MM-DD HH:MM"
    // Seconds between two stored times (b - a); 0 when either does not parse.
    static long long secondsBetween(std::string_view a, std::string_view b);
};

}  // namespace oa
