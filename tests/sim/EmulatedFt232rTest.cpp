// The emulated FT232R: synchronous bit-bang semantics, packets and USB time, and the light bar
// behind it checking the waveform against the clock its fuses select.
#include <gtest/gtest.h>

#include "link/IspInstructions.h"
#include "link/IspPort.h"
#include "sim/EmulatedFt232r.h"

#include <vector>

namespace tessel {
namespace {

struct Adapter {
    VirtualClock clock{1'000'000};
    VirtualLightBar bar{clock};
    EmulatedFt232r ft232r{bar, clock};
};

TEST(EmulatedFt232r, AppliesABytePerTickAndReturnsThePinsSampledJustBefore) {
    Adapter a;
    auto device = std::move(a.ft232r.open(AdapterChoice{}).device);
    ASSERT_TRUE(device);
    EXPECT_FALSE(a.ft232r.serialDriverBound());
    EXPECT_EQ(a.ft232r.open(AdapterChoice{}).error.kind, LinkError::Kind::Refused)
        << "one program at a time";
    ASSERT_FALSE(device->start(0x15, 12500).failed()); // 200,000 bytes a second

    // Outputs start at the serial port's idle levels; the inputs (nothing driving them) read high.
    const std::vector<std::uint8_t> out = {0x15, 0x11, 0x11}; // then RTS# low: SCK low
    std::vector<std::uint8_t> in(3);
    std::uint64_t before = a.clock.micros();
    ASSERT_FALSE(device->exchange(out, in, a.clock, 1000).failed());
    EXPECT_EQ(in, (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFB}));
    EXPECT_GE(a.clock.micros() - before, 1000u) << "a round trip costs at least a millisecond";

    // 4 KB: 64 packets out, 67 back (62 samples each), 5 us a byte on the pins.
    const std::vector<std::uint8_t> big(4096, 0x15);
    std::vector<std::uint8_t> back(4096);
    const UsbTransferCounts start = a.ft232r.counts();
    before = a.clock.micros();
    ASSERT_FALSE(device->exchange(big, back, a.clock, 1000).failed());
    EXPECT_EQ(a.ft232r.counts().outPackets - start.outPackets, 64u);
    EXPECT_EQ(a.ft232r.counts().inPackets - start.inPackets, 67u);
    EXPECT_GE(a.clock.micros() - before, 1000u + 4096u * 5u);
    EXPECT_LE(a.clock.micros() - before, 4000u + 4096u * 5u);

    a.ft232r.unplugAfterBytes(10);
    EXPECT_EQ(device->exchange(big, back, a.clock, 1000).kind, LinkError::Kind::Unplugged);
    device.reset();
    EXPECT_FALSE(a.ft232r.held());
    EXPECT_TRUE(a.ft232r.list(kFtdiVendorId, kFt232rProductId).empty()) << "unplugged";
}

// A cable wired to other lines answers once the INI names them, and only then.
TEST(EmulatedFt232r, ACableWiredDifferentlyWorksWithTheIniThatSaysSo) {
    std::string error;
    const auto rewired = Ft232rSettings::fromIni(
        [](const std::string& key) {
            return key == "RESET" ? "RTS" : key == "SCK" ? "DTR" : key == "MISO" ? "!DCD" : "";
        },
        error);
    ASSERT_TRUE(rewired) << error;
    // The cable, by the adapter's own pin numbers: RESET on RTS#, SCK on DTR#, MISO inverted on
    // DCD#.
    const CableWiring cable{.reset = {Ft232rPin::RTS},
                            .sck = {Ft232rPin::DTR},
                            .mosi = {Ft232rPin::TXD},
                            .miso = {Ft232rPin::DCD, true}};
    for (const bool iniSaysSo : {false, true}) {
        Adapter a;
        a.ft232r.setCableWiring(cable);
        MemoryPortSettings settings;
        settings.setDevicePath(1, "ftdi:");
        if (iniSaysSo) settings.setFt232rSettings(*rewired);
        JobResult result;
        IspPort port(a.bar, a.clock, settings, &result, &a.ft232r);
        IspInstructions isp(port);
        ASSERT_TRUE(port.open());
        EXPECT_EQ(isp.programmingEnable() == result::Ok, iniSaysSo);
    }
}

TEST(EmulatedFt232r, TheLightBarCountsSckPhasesTooShortForItsClock) {
    for (const std::uint32_t chipHz : {8'000'000u, 300'000u}) {
        Adapter a;
        a.bar.setExternalClockHz(chipHz); // the light bar's fuses (e0) select its external clock
        MemoryPortSettings settings;
        settings.setDevicePath(1, "ftdi:");
        JobResult result;
        IspPort port(a.bar, a.clock, settings, &result, &a.ft232r);
        IspInstructions isp(port);
        ASSERT_TRUE(port.open());
        EXPECT_EQ(isp.programmingEnable(), result::Ok);
        isp.identify();
        EXPECT_TRUE(isp.identity().isAtmega128());
        // 5 us high and low: over 2 cycles of 8 MHz, under 2 cycles of 300 kHz.
        EXPECT_EQ(a.bar.timingViolations() > 0, chipHz == 300'000u) << chipHz;
        port.close();
        EXPECT_TRUE(a.ft232r.serialDriverBound());
    }
}

} // namespace
} // namespace tessel
