#pragma once

#include <cstdint>

namespace tessel {

class IniStore;

// The display units kept in the INI section "Units". Nothing in the program shows them yet; they
// are read at start and written back at exit. Codes are kept as read, so an unknown code survives.
struct UnitsSettings {
    enum GeoCoord { Degrees = 0, DegMin = 1, DegMinSec = 2 };
    enum Distance { Meters = 0, Feet = 1 };
    enum Speed { Knots = 0, MPH = 1, KPH = 2 };
    enum Time { HHMMSS = 0, HHMM = 1, Seconds = 2, Minutes = 3, Hours = 4 };
    enum Date { DDMMYY = 0, DDMM = 1, Days = 2, Months = 3, Years = 4 };

    static constexpr const char* kSection = "Units";

    std::int32_t geoCoordUnits = Degrees;
    // The coordinate format's own degree sign, off whenever "ShowDegreeSymbol" is off.
    bool geoCoordDegreeSymbol = true;
    std::int32_t distanceUnits = Meters;
    // Feet above which a distance shows in miles; single precision, as the format holds it.
    float feetToMilesThreshold = 5280.0f;
    std::int32_t speedUnits = Knots;
    std::int32_t timeUnits = HHMMSS;
    std::int32_t dateUnits = DDMMYY;
    bool showDegreeSymbol = true;

    // Selects "Units" and reads every key; missing or unreadable keys give the defaults.
    void load(IniStore& store);
    // Selects "Units" and writes every key. With atStart, a key is written only when the file
    // lacks it or its value differs from atStart, so a hand edit made meanwhile is kept.
    void save(IniStore& store, const UnitsSettings* atStart = nullptr) const;

    bool operator==(const UnitsSettings&) const = default;
};

} // namespace tessel
