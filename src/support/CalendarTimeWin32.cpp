#include "support/CalendarTime.h"

namespace tessel {

std::tm localCalendar(std::time_t moment) {
    std::tm fields{};
    localtime_s(&fields, &moment);
    return fields;
}

std::tm utcCalendar(std::time_t moment) {
    std::tm fields{};
    gmtime_s(&fields, &moment);
    return fields;
}

} // namespace tessel
