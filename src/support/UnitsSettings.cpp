#include "support/UnitsSettings.h"

#include "support/IniStore.h"

namespace tessel {

void UnitsSettings::load(IniStore& store) {
    const UnitsSettings defaults;
    store.selectSection(kSection);
    geoCoordUnits = store.readInteger("GeoCord.Units", defaults.geoCoordUnits);
    distanceUnits = store.readInteger("Distance.Units", defaults.distanceUnits);
    feetToMilesThreshold = static_cast<float>(
        store.readReal("Distance.FeetToMilesThreshold", defaults.feetToMilesThreshold));
    speedUnits = store.readInteger("Speed.Units", defaults.speedUnits);
    timeUnits = store.readInteger("Time.Units", defaults.timeUnits);
    dateUnits = store.readInteger("Date.Units", defaults.dateUnits);
    showDegreeSymbol = store.readBoolean("ShowDegreeSymbol", defaults.showDegreeSymbol);
    geoCoordDegreeSymbol = showDegreeSymbol;
}

void UnitsSettings::save(IniStore& store, const UnitsSettings* atStart) const {
    store.selectSection(kSection);
    auto needed = [&](const char* key, bool changed) { return !atStart || changed || !store.hasKey(key); };
    if (needed("GeoCord.Units", atStart && atStart->geoCoordUnits != geoCoordUnits))
        store.writeInteger("GeoCord.Units", geoCoordUnits);
    if (needed("ShowDegreeSymbol", atStart && atStart->showDegreeSymbol != showDegreeSymbol))
        store.writeBoolean("ShowDegreeSymbol", showDegreeSymbol);
    if (needed("Distance.Units", atStart && atStart->distanceUnits != distanceUnits))
        store.writeInteger("Distance.Units", distanceUnits);
    if (needed("Distance.FeetToMilesThreshold",
               atStart && atStart->feetToMilesThreshold != feetToMilesThreshold))
        store.writeReal("Distance.FeetToMilesThreshold", static_cast<double>(feetToMilesThreshold));
    if (needed("Speed.Units", atStart && atStart->speedUnits != speedUnits))
        store.writeInteger("Speed.Units", speedUnits);
    if (needed("Time.Units", atStart && atStart->timeUnits != timeUnits))
        store.writeInteger("Time.Units", timeUnits);
    if (needed("Date.Units", atStart && atStart->dateUnits != dateUnits))
        store.writeInteger("Date.Units", dateUnits);
}

} // namespace tessel
