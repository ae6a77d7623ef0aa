#include "support/UnitsSettings.h"

#include "support/IniStore.h"

namespace tessel {

void UnitsSettings::load(IniStore& store) {
    const UnitsSettings defaults;
    geoCoordUnits = store.readInteger(kSection, "GeoCord.Units", defaults.geoCoordUnits);
    distanceUnits = store.readInteger(kSection, "Distance.Units", defaults.distanceUnits);
    feetToMilesThreshold = static_cast<float>(
        store.readReal(kSection, "Distance.FeetToMilesThreshold", defaults.feetToMilesThreshold));
    speedUnits = store.readInteger(kSection, "Speed.Units", defaults.speedUnits);
    timeUnits = store.readInteger(kSection, "Time.Units", defaults.timeUnits);
    dateUnits = store.readInteger(kSection, "Date.Units", defaults.dateUnits);
    showDegreeSymbol = store.readBoolean(kSection, "ShowDegreeSymbol", defaults.showDegreeSymbol);
    geoCoordDegreeSymbol = showDegreeSymbol;
}

void UnitsSettings::save(IniStore& store, const UnitsSettings* atStart) const {
    auto needed = [&](const char* key, bool changed) {
        return !atStart || changed || !store.hasKey(kSection, key);
    };
    if (needed("GeoCord.Units", atStart && atStart->geoCoordUnits != geoCoordUnits))
        store.writeInteger(kSection, "GeoCord.Units", geoCoordUnits);
    if (needed("ShowDegreeSymbol", atStart && atStart->showDegreeSymbol != showDegreeSymbol))
        store.writeBoolean(kSection, "ShowDegreeSymbol", showDegreeSymbol);
    if (needed("Distance.Units", atStart && atStart->distanceUnits != distanceUnits))
        store.writeInteger(kSection, "Distance.Units", distanceUnits);
    if (needed("Distance.FeetToMilesThreshold",
               atStart && atStart->feetToMilesThreshold != feetToMilesThreshold))
        store.writeReal(kSection, "Distance.FeetToMilesThreshold",
                        static_cast<double>(feetToMilesThreshold));
    if (needed("Speed.Units", atStart && atStart->speedUnits != speedUnits))
        store.writeInteger(kSection, "Speed.Units", speedUnits);
    if (needed("Time.Units", atStart && atStart->timeUnits != timeUnits))
        store.writeInteger(kSection, "Time.Units", timeUnits);
    if (needed("Date.Units", atStart && atStart->dateUnits != dateUnits))
        store.writeInteger(kSection, "Date.Units", dateUnits);
}

} // namespace tessel
