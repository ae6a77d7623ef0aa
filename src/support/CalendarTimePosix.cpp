#include "support/CalendarTime.h"

namespace tessel {

std::tm localCalendar(std::time_t moment) {
    std::tm fields{};
    localtime_r(&moment, &fields);
    return fields;
}

std::tm utcCalendar(std::time_t moment) {
    std::tm fields{};
    gmtime_r(&moment, &fields);
    return fields;
}

} // namespace tessel
