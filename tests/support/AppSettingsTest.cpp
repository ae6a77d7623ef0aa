#include "support/AppSettings.h"
#include "support/ComPorts.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

TEST(AppSettings, NoFileGivesEveryDefault) {
    TempDir dir;
    IniStore store(dir / "Tessel.INI");
    const AppSettings settings(store);
    EXPECT_FALSE(settings.iniFileIsReadOnly());
    EXPECT_EQ(settings.typeControl(), 0);
    EXPECT_EQ(settings.advancedOptions(), 0);
    EXPECT_EQ(settings.comPort(), 0);
    EXPECT_EQ(settings.serialNumber(), 100);
    for (int port = 1; port <= 4; ++port) {
        EXPECT_FALSE(settings.skipComPort(port));
        EXPECT_EQ(settings.portDevice(port), defaultDevicePath(port));
    }
    EXPECT_EQ(settings.portDevice(0), "");
    EXPECT_EQ(settings.portDevice(5), "");
    EXPECT_EQ(settings.hexPath(), ".");
}

TEST(AppSettings, ReadsAHandWrittenFileAndWritesOnlyItsOwnKeys) {
    TempDir dir;
    const std::string original =
        "[configuration]\n"
        "Type Control=$325EDD4\n"
        "Advanced Options = 1\n"
        "COM Port=7\n"
        "Serial Number=0x200\n"
        "SkipComPort2=1\n"
        "IniFileIsReadOnly=0\n"
        "\n"
        "[Ports]\n"
        "COM3=/dev/ttyUSB0\n";
    writeFile(dir / "Tessel.INI", original);
    IniStore store(dir / "Tessel.INI");
    AppSettings settings(store);
    EXPECT_EQ(settings.typeControl(), AppSettings::kAdvancedModeCode);
    EXPECT_EQ(settings.advancedOptions(), 1);
    EXPECT_EQ(settings.comPort(), 7);
    EXPECT_EQ(settings.serialNumber(), 512);
    EXPECT_FALSE(settings.skipComPort(1));
    EXPECT_TRUE(settings.skipComPort(2));
    EXPECT_EQ(settings.portDevice(3), comPortDevicesAreMapped() ? "/dev/ttyUSB0" : defaultDevicePath(3));
    EXPECT_EQ(settings.portDevice(4), defaultDevicePath(4)) << "a port the file does not name";

    EXPECT_TRUE(settings.setComPort(2));
    EXPECT_TRUE(settings.setHexPath("/home/bench/firmware/"));
    EXPECT_EQ(settings.comPort(), 2);
    EXPECT_EQ(settings.hexPath(), "/home/bench/firmware/");
    std::string expected = original;
    expected.replace(expected.find("COM Port=7"), 10, "COM Port=2");
    expected += "\n[FileSpecs]\nHexPath=/home/bench/firmware/\n";
    EXPECT_EQ(readFile(dir / "Tessel.INI"), expected);
}

} // namespace
} // namespace tessel
