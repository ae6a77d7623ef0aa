// A bay's units on a virtual light bar: the unit job, its numbering and the ledger together.
#include "StationBench.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

using Kind = BayEvent::Kind;

std::vector<std::int32_t> serialsOf(const std::vector<BayEvent>& units) {
    std::vector<std::int32_t> serials;
    for (const BayEvent& u : units)
        serials.push_back(u.serialNumber.value_or(-1));
    return serials;
}

TEST(UnitJob, NewUnitsGetTheNextNumbersWithTheirBlockFirmwareAndCalibration) {
    StationBench b;
    auto units = b.runUnits(1); // and swapped for a new one
    b.swapUnits = false;
    b.events.clear();
    units.push_back(b.runUnits(1).at(0));
    EXPECT_EQ(serialsOf(units), (std::vector<std::int32_t>{100, 101}));
    for (const BayEvent& u : units) {
        EXPECT_EQ(u.result, 0) << u.message;
        EXPECT_EQ(u.unit, UnitKind::New);
        EXPECT_EQ(u.backups.size(), 2u); // block area and EEPROM, saved before the erase
    }
    // The second unit (still in the bay) holds its number, the template, its own calibration
    // in the block, the firmware, and its calibration record still in its EEPROM.
    const ConfigBlock block = b.flashRecord();
    EXPECT_EQ(block.serialNumber, 101);
    EXPECT_EQ(block.productName, "KD-7");
    EXPECT_EQ(block.tiltCalibration, factoryTilt(2));
    EXPECT_TRUE(b.firmwareProgrammed());
    EXPECT_EQ(b.eepromTilt(), factoryTilt(2));
    EXPECT_EQ(b.lightBar.timingViolations(), 0u);

    const LedgerContents ledger = b.ledger.read();
    ASSERT_EQ(ledger.entries.size(), 4u);
    EXPECT_EQ(ledger.entries[0].event, LedgerEntry::Event::Taken);
    EXPECT_EQ(ledger.entries[1].event, LedgerEntry::Event::Passed);
    EXPECT_EQ(b.ledger.numbersLeft(), 3);
}

TEST(UnitJob, AUnitThatFailsMidwaySpendsItsNumberAndKeepsItWhenTriedAgain) {
    StationBench b;
    b.swapUnits = false;
    bool pulled = false;
    // The cable is pulled while the firmware is programmed: the block is in place by then.
    b.onEvent = [&](const BayEvent& e) {
        if (e.kind == Kind::Step && e.text == " Programming Light Bar Firmware Code" && !pulled) {
            pulled = true;
            b.lightBar.failLineCallsAfter(200);
        }
        if (e.kind == Kind::Unit) b.lightBar.failLineCallsAfter(UINT64_MAX);
    };
    auto units = b.runUnits(2);
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].result, 32);
    EXPECT_EQ(units[0].serialNumber, 100);
    // The same unit again: it holds number 100 now, and keeps it.
    EXPECT_EQ(units[1].result, 0) << units[1].message;
    EXPECT_EQ(units[1].serialNumber, 100);
    EXPECT_EQ(units[1].unit, UnitKind::Retry);

    // The next new unit gets the next number.
    b.swapUnits = true;
    makeFactoryFresh(b.lightBar, 9);
    b.events.clear();
    units = b.runUnits(1);
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].serialNumber, 101);
    std::vector<LedgerEntry::Event> outcomes;
    for (const LedgerEntry& e : b.ledger.read().entries)
        outcomes.push_back(e.event);
    using E = LedgerEntry::Event;
    EXPECT_EQ(outcomes,
              (std::vector<E>{E::Taken, E::Failed, E::Taken, E::Passed, E::Taken, E::Passed}));
}

TEST(UnitJob, AReworkUnitKeepsItsNumberAndANumberOfTheRangeIsNeverGivenAgain) {
    StationBench b;
    b.setup.numbering.keepSerial = true;
    b.swapUnits = false;
    ConfigBlock old = StationBench::blockTemplate();
    old.serialNumber = 777; // from another line
    BlockArea area{};
    renderBlock(old, area);
    auto put = [&](const BlockArea& a) {
        for (std::size_t i = 0; i < a.size(); ++i)
            b.lightBar.setFlashByte(0x1F000 + static_cast<std::uint32_t>(i),
                                    a[i] == '~' ? 0 : a[i]);
    };
    put(area);
    auto units = b.runUnits(1);
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].result, 0) << units[0].message;
    EXPECT_EQ(units[0].serialNumber, 777);
    EXPECT_EQ(units[0].unit, UnitKind::Rework);
    EXPECT_EQ(b.flashRecord().serialNumber, 777);

    // A unit that holds a number of the range not given yet keeps it; no other unit gets it.
    old.serialNumber = 101;
    renderBlock(old, area);
    put(area);
    b.events.clear();
    units = b.runUnits(1);
    EXPECT_EQ(serialsOf(units), (std::vector<std::int32_t>{101}));
    b.swapUnits = true;
    makeFactoryFresh(b.lightBar, 7);
    b.events.clear();
    EXPECT_EQ(serialsOf(b.runUnits(3)), (std::vector<std::int32_t>{100, 102, 103}));

    // Without the rule, a unit with a block of elsewhere gets the next number.
    b.setup.numbering.keepSerial = false;
    b.swapUnits = false;
    old.serialNumber = 778;
    renderBlock(old, area);
    put(area);
    b.events.clear();
    EXPECT_EQ(serialsOf(b.runUnits(1)), (std::vector<std::int32_t>{104}));
}

TEST(UnitJob, AnExhaustedRangeOrAMissingCalibrationLeavesTheUnitUntouched) {
    StationBench b;
    for (int n = 100; n <= 104; ++n)
        ASSERT_TRUE(b.ledger.take(std::nullopt, false, 2, "COM2").serialNumber);
    b.runUnits(1);
    EXPECT_TRUE(b.ofKind(Kind::Started).empty());
    ASSERT_EQ(b.ofKind(Kind::Stopped).size(), 1u);
    EXPECT_EQ(b.ofKind(Kind::Stopped)[0].text, "No serial number is left in the station's range");
    EXPECT_EQ(b.lightBar.counts().lineCalls(), 0u);

    // With the tilt record acquired, a unit without one gets no number and no erase.
    StationBench c;
    for (std::uint32_t i = 0; i < VirtualLightBar::kEepromBytes; ++i)
        c.lightBar.setEepromByte(i, 0xFF);
    c.swapUnits = false;
    const auto units = c.runUnits(1);
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].result, 1);
    EXPECT_FALSE(units[0].serialNumber);
    EXPECT_TRUE(c.ledger.read().entries.empty());
    EXPECT_EQ(c.lightBar.flashByte(0), 0xFF);
    EXPECT_TRUE(c.lightBar.pageWrites().empty());
}

} // namespace
} // namespace tessel::testing
