#include "app/IniPortSettings.h"
#include "link/IspPort.h"
#include "sim/VirtualLightBar.h"
#include "support/ComPorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

TEST(IniPortSettings, SkipKeysAreReadAtEveryProbeAndDevicesComeFromThePortsSection) {
    TempDir dir;
    const std::string path = dir / "tessel.INI";
    writeFile(path, "[Configuration]\nSkipComPort2=1\n[Ports]\nCOM3=/tmp/bench-port\n");
    IniStore store(path);
    AppSettings app(store);
    IniPortSettings settings(app);

    VirtualClock clock;
    VirtualLightBar bar(clock);
    IspPort port(bar, clock, settings);
    EXPECT_TRUE(port.portPresent(1));
    EXPECT_FALSE(port.portPresent(2)) << "SkipComPort2 keeps COM2 out of the menu";
    EXPECT_EQ(bar.counts().opens, 1u) << "a skipped port is never opened";
    EXPECT_EQ(settings.devicePath(3), comPortDevicesAreMapped() ? "/tmp/bench-port" : defaultDevicePath(3));

    writeFile(path, "[Configuration]\nSkipComPort2=0\n");
    EXPECT_TRUE(port.portPresent(2)) << "the key is read anew at every probe";

    settings.overrideDevice(3, "/tmp/other");
    EXPECT_EQ(settings.devicePath(3), "/tmp/other");
    EXPECT_EQ(settings.devicePath(1), app.portDevice(1)) << "only the given port is overridden";
}

} // namespace
} // namespace tessel::testing
