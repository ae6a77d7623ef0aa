// Where the cable's signals sit on an FT232R's data bus and which way up, against FTDI's data
// sheet: D0 TXD, D2 RTS#, D4 DTR#, D7 RI#; an asserted modem line (and a break) is a low pin.
#include <gtest/gtest.h>

#include "link/Ft232rSettings.h"

#include <map>

namespace tessel {
namespace {

std::optional<Ft232rSettings> fromIni(const std::map<std::string, std::string>& ini, std::string& error) {
    return Ft232rSettings::fromIni(
        [&](const char* key) {
            const auto it = ini.find(key);
            return it == ini.end() ? std::string() : it->second;
        },
        error);
}

TEST(Ft232rPins, TheCableAsTheDataSheetWiresItAndAsAnIniRewiresIt) {
    std::string error;
    const Ft232rSettings usual = *fromIni({}, error);
    EXPECT_EQ(usual.outputMask(), 0x15) << "TXD, RTS# and DTR# only: RI# is the receiver's";
    // Held in reset = DTR raised = DTR# low; SCK low = RTS raised = RTS# low; MOSI 1 = no break.
    EXPECT_EQ(usual.pins(true, false, true), 0x01);
    EXPECT_EQ(usual.pins(false, true, false), 0x14);
    EXPECT_EQ(usual.misoOf(0x80), 1) << "RI not asserted reads 1";
    EXPECT_EQ(usual.misoOf(0x7F), 0);
    EXPECT_EQ(usual.baudRate(), 12500u) << "100 kHz SCK: 200,000 bytes a second, 16 ticks a baud";

    const Ft232rSettings rewired =
        *fromIni({{"RESET", "rts"}, {"SCK", "DTR#"}, {"MOSI", "!TXD"}, {"MISO", "CTS"}, {"SckHz", "50000"}},
                 error);
    EXPECT_EQ(rewired.outputMask(), 0x15);
    EXPECT_EQ(rewired.pins(true, false, true), 0x00);
    EXPECT_EQ(rewired.pins(false, true, false), 0x15);
    EXPECT_EQ(rewired.misoOf(0x08), 1);
    EXPECT_EQ(rewired.baudRate(), 6250u);

    for (const auto& [key, value, named] :
         {std::tuple{"MISO", "TXD", "[FTDI] MISO=TXD: MISO must be an input"},
          {"RESET", "RI", "[FTDI] RESET=RI: the adapter drives only TXD, RTS and DTR"},
          {"SCK", "TXD", "[FTDI] MOSI, SCK and RESET must be three different lines"},
          {"MOSI", "CLK", "[FTDI] MOSI=CLK: not one of"},
          {"SckHz", "250000", "[FTDI] SckHz=250000: not a whole number from 1500 to 200000"},
          {"SckHz", "1000", "[FTDI] SckHz=1000: not a whole number from 1500 to 200000"}}) {
        error.clear();
        EXPECT_FALSE(fromIni({{key, value}}, error)) << key;
        EXPECT_EQ(error.rfind(named, 0), 0u) << error;
    }
}

} // namespace
} // namespace tessel
