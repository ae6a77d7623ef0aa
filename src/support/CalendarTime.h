#pragma once

#include <ctime>

namespace tessel {

// The calendar fields of a moment: on this computer's clock, and in UTC. Safe to call from any
// thread (no shared result buffer).
std::tm localCalendar(std::time_t moment);
std::tm utcCalendar(std::time_t moment);

} // namespace tessel
