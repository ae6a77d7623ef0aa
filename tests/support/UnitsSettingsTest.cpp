#include "support/UnitsSettings.h"

#include "support/IniStore.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {
using testing::readFile;
using testing::withSystemLineEnds;
using testing::TempDir;
using testing::writeFile;

TEST(UnitsSettings, MissingSectionLoadsDefaultsAndSavesThemInTheirOrder) {
    TempDir dir;
    IniStore store(dir / "t.ini");
    UnitsSettings units;
    units.geoCoordUnits = 2;
    units.load(store);
    EXPECT_EQ(units, UnitsSettings{});
    units.save(store);
    EXPECT_EQ(readFile(dir / "t.ini"),
              withSystemLineEnds(
                  "[Units]\nGeoCord.Units=0\nShowDegreeSymbol=1\nDistance.Units=0\n"
                  "Distance.FeetToMilesThreshold=5280\nSpeed.Units=0\nTime.Units=0\nDate.Units=0\n"));
}

TEST(UnitsSettings, ValuesComeBackAsReadWithTheThresholdInSinglePrecision) {
    TempDir dir;
    writeFile(dir / "t.ini",
              "[units]\nGeoCord.Units=1\nDistance.Units=1\nDistance.FeetToMilesThreshold=0.1\n"
              "Speed.Units=9\nTime.Units=x\nDate.Units=$4\nShowDegreeSymbol=0\n");
    IniStore store(dir / "t.ini");
    UnitsSettings units;
    units.load(store);
    EXPECT_EQ(units.geoCoordUnits, UnitsSettings::DegMin);
    EXPECT_EQ(units.distanceUnits, UnitsSettings::Feet);
    EXPECT_EQ(units.feetToMilesThreshold, 0.1f);
    EXPECT_EQ(units.speedUnits, 9) << "an unknown code is kept";
    EXPECT_EQ(units.timeUnits, UnitsSettings::HHMMSS) << "unreadable: the default";
    EXPECT_EQ(units.dateUnits, UnitsSettings::Years);
    EXPECT_FALSE(units.showDegreeSymbol);
    EXPECT_FALSE(units.geoCoordDegreeSymbol);

    units.save(store);
    EXPECT_EQ(store.readText("Units", "Distance.FeetToMilesThreshold", ""), "0.100000001490116");
    EXPECT_EQ(store.readText("Units", "Time.Units", ""), "0");
    EXPECT_EQ(store.readText("Units", "Date.Units", ""), "4");
}

TEST(UnitsSettings, WithAStartingPointOnlyMissingOrChangedKeysAreWritten) {
    TempDir dir;
    writeFile(dir / "t.ini", "[Units]\nSpeed.Units=2\n");
    IniStore store(dir / "t.ini");
    UnitsSettings units;
    units.load(store);
    const UnitsSettings atStart = units;
    writeFile(dir / "t.ini", "[Units]\nSpeed.Units=1 ; edited by hand\n");
    units.timeUnits = 3;
    units.save(store, &atStart);
    EXPECT_EQ(readFile(dir / "t.ini"),
              "[Units]\nSpeed.Units=1 ; edited by hand\nGeoCord.Units=0\nShowDegreeSymbol=1\n"
              "Distance.Units=0\nDistance.FeetToMilesThreshold=5280\nTime.Units=3\nDate.Units=0\n");
}

} // namespace
} // namespace tessel
