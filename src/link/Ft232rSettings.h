#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tessel {

// Where the programming cable's signals sit on an FT232R in bit-bang mode, and how fast SCK runs.
//
// In bit-bang mode the FT232R's data bus is its UART pins: D0 TXD, D1 RXD, D2 RTS#, D3 CTS#,
// D4 DTR#, D5 DSR#, D6 DCD#, D7 RI#. A modem line asserted is its pin low, and a break holds TXD
// low, so the cable's signals read at the pins (default wiring):
//   RESET on DTR#: held in reset while the pin is low (DTR raised)
//   SCK   on RTS#: SCK high while the pin is high (RTS dropped)
//   MOSI  on TXD:  1 while the pin is high (no break)
//   MISO  on RI#:  1 while the pin is high (RI not asserted)
// Only TXD, RTS# and DTR# are outputs; the other pins are driven by the adapter's RS-232
// receivers and are never driven here.
//
// INI section [FTDI] overrides: "MOSI", "SCK", "RESET" (one of TXD, RTS, DTR each, all three
// different) and "MISO" (one of RXD, CTS, DSR, DCD, RI) name the line a cable wired differently
// uses; a leading "!" inverts a signal for a cable with an inverter of its own. "SckHz" sets the
// SCK rate, 1500 to 200000, default 100000 (what an RS-232 transceiver passes cleanly). The
// bounds: the FT232R's slowest baud rate is 3 MHz / 16384 (183 baud, 1465 Hz of SCK), and at
// 200 kHz an SCK phase still lasts over two cycles of a fresh ATmega128's 1 MHz RC oscillator.
struct Ft232rSettings {
    struct Pin {
        int bit = 0;
        bool inverted = false; // against the wiring above
    };
    Pin mosi{0};
    Pin sck{2};
    Pin reset{4};
    Pin miso{7};
    std::uint32_t sckHz = 100000;

    static constexpr std::uint32_t kMinSckHz = 1500;
    static constexpr std::uint32_t kMaxSckHz = 200000;

    // The FT232R's documented relation: in bit-bang mode a byte is applied at every tick of a
    // clock 16 times the baud rate. Two bytes make one SCK period (low, then high).
    static constexpr std::uint32_t kBitBangTicksPerBaud = 16;
    static constexpr std::uint32_t kBytesPerSckPeriod = 2;

    std::uint8_t outputMask() const;
    // The byte that puts the cable's outputs at these levels.
    std::uint8_t pins(bool resetHeld, bool sckHigh, bool mosiHigh) const;
    // MISO as a sample of the pins reads it.
    int misoOf(std::uint8_t sample) const;
    // The baud rate to set: the FT232R's divisor (3 MHz over a multiple of 1/8) nearest above
    // the wanted SCK's, so SCK never runs faster than asked.
    std::uint32_t baudRate() const;
    // Bytes applied per second at a baud rate, and the SCK rate that gives.
    static double byteClockHz(std::uint32_t baudRate) {
        return static_cast<double>(baudRate) * kBitBangTicksPerBaud;
    }
    // An SCK rate as the log gives it: "100 kHz", "12.5 kHz".
    static std::string rateText(std::uint32_t hz);

    // The settings an INI file's [FTDI] section gives; read(key) returns a key's text or "".
    // Nothing (error naming the key) when a value is not one of the above.
    static std::optional<Ft232rSettings> fromIni(const std::function<std::string(const char*)>& read,
                                                 std::string& error);
};

} // namespace tessel
