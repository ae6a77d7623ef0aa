// Whole jobs through the Win32 serial lines, over the stand-in for the system's calls wired to
// the virtual light bar: the engine cannot tell them from the POSIX ones.
#include "ScriptedJobWindow.h"

#include "app/RecordHost.h"
#include "block/BlockText.h"
#include "jobs/ChipProgrammer.h"
#include "link/FakeComm.h"
#include "link/Win32Serial.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(Win32Serial, BlockJobsRunEndToEndThroughTheSystemCalls) {
    VirtualClock clock;
    VirtualLightBar bar{clock};
    FakeComm comm{bar};
    Win32Serial serial{comm};
    MemoryPortSettings settings;
    testing::ScriptedJobWindow window;
    RecordHost host{true};
    ChipProgrammer engine{serial, clock, settings, window, host};
    testing::TempDir backups; // the erase's backups land here, never in the user's data folder
    engine.setBackupFolder(backups / "backups");

    EXPECT_EQ(engine.initDefaultBlock(), 0);
    ConfigBlock record;
    record.format = 2;
    record.serialNumber = 271828;
    record.productName = "KD-9";
    BlockArea reference;
    renderBlock(record, reference);
    EXPECT_EQ(engine.programBlock(reference), 0);
    BlockArea area;
    area.fill(0);
    EXPECT_EQ(engine.readBlock(area), 0);
    ConfigBlock parsed;
    parseBlock(area, parsed);
    EXPECT_EQ(parsed.serialNumber, 271828);
    EXPECT_EQ(parsed.productName, "KD-9");
    EXPECT_EQ(bar.timingViolations(), 0u);

    // Every job opened "\\.\COM1" once and closed it once; the lines moved only by the calls.
    EXPECT_EQ(comm.callsNamed("CreateFileA").size(), 3u);
    EXPECT_EQ(comm.callsNamed("CloseHandle").size(), 3u);
    EXPECT_GT(comm.callsNamed("GetCommModemStatus").size(), 4096u * 8);
    EXPECT_EQ(bar.counts().lineCalls(),
              comm.callsNamed("EscapeCommFunction").size() + comm.callsNamed("SetCommBreak").size() +
                  comm.callsNamed("ClearCommBreak").size() + comm.callsNamed("GetCommModemStatus").size());
}

} // namespace
} // namespace tessel
