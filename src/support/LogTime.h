#pragma once

#include <functional>
#include <string>

namespace tessel {

// A local date and time as the log shows it.
struct LocalDateTime {
    int year = 2000; // full year
    int month = 1;   // 1 to 12
    int day = 1;
    int hour = 0; // 0 to 23
    int minute = 0;
    int second = 0;
};

// Where log time stamps come from; tests put a fixed time in.
using LocalTimeSource = std::function<LocalDateTime()>;

LocalDateTime systemLocalTime();

// "yy/mm/dd hh:mm:ss" with a two-digit year and a 24-hour clock, the same in every locale.
std::string formatLogTimeStamp(const LocalDateTime& time);

} // namespace tessel
