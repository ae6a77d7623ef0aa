#include "support/LogTime.h"

#include "support/CalendarTime.h"

#include <ctime>

namespace tessel {

LocalDateTime systemLocalTime() {
    const std::tm parts = localCalendar(std::time(nullptr));
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

std::string formatLogTimeStamp(const LocalDateTime& time) {
    auto two = [](int n) {
        n = ((n % 100) + 100) % 100;
        return std::string{char('0' + n / 10), char('0' + n % 10)};
    };
    return two(time.year) + "/" + two(time.month) + "/" + two(time.day) + " " + two(time.hour) + ":" +
           two(time.minute) + ":" + two(time.second);
}

} // namespace tessel
