#include "link/Ft232rSettings.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tessel {

namespace {

// The data bus bits by the UART pin each one is.
constexpr std::array<const char*, 8> kPinNames = {"TXD", "RXD", "RTS", "CTS", "DTR", "DSR", "DCD", "RI"};
constexpr std::uint8_t kAdapterOutputs = 0x15; // TXD, RTS#, DTR#: the RS-232 drivers' inputs

std::uint8_t bitOf(const Ft232rSettings::Pin& pin, bool level) {
    return static_cast<std::uint8_t>((level != pin.inverted ? 1u : 0u) << pin.bit);
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// "RTS", "rts#", "!DTR" ...; false when the text names no pin.
bool parsePin(std::string text, Ft232rSettings::Pin& pin) {
    text = upper(text);
    pin.inverted = !text.empty() && text.front() == '!';
    if (pin.inverted) text.erase(0, 1);
    if (!text.empty() && text.back() == '#') text.pop_back();
    const auto it = std::find(kPinNames.begin(), kPinNames.end(), text);
    if (it == kPinNames.end()) return false;
    pin.bit = static_cast<int>(it - kPinNames.begin());
    return true;
}

} // namespace

std::uint8_t Ft232rSettings::outputMask() const {
    return static_cast<std::uint8_t>((1u << mosi.bit) | (1u << sck.bit) | (1u << reset.bit));
}

std::uint8_t Ft232rSettings::pins(bool resetHeld, bool sckHigh, bool mosiHigh) const {
    // RESET is held by a low pin, as a raised DTR pulls DTR# low.
    return static_cast<std::uint8_t>(bitOf(reset, !resetHeld) | bitOf(sck, sckHigh) |
                                     bitOf(mosi, mosiHigh));
}

int Ft232rSettings::misoOf(std::uint8_t sample) const {
    const bool high = ((sample >> miso.bit) & 1u) != 0;
    return high != miso.inverted ? 1 : 0;
}

std::uint32_t Ft232rSettings::baudRate() const {
    // The FT232R divides 3 MHz by n + k/8; the divisor in eighths, rounded up (slower).
    const double wanted = static_cast<double>(sckHz) * kBytesPerSckPeriod / kBitBangTicksPerBaud;
    const double eighths = std::ceil(3'000'000.0 * 8.0 / wanted);
    return static_cast<std::uint32_t>(3'000'000.0 * 8.0 / eighths);
}

std::string Ft232rSettings::rateText(std::uint32_t hz) {
    char text[32];
    if (hz % 1000 == 0)
        std::snprintf(text, sizeof text, "%u kHz", static_cast<unsigned>(hz / 1000));
    else
        std::snprintf(text, sizeof text, "%.1f kHz", hz / 1000.0);
    return text;
}

std::optional<Ft232rSettings> Ft232rSettings::fromIni(
    const std::function<std::string(const char*)>& read, std::string& error) {
    Ft232rSettings s;
    struct Entry {
        const char* key;
        Pin* pin;
        bool output;
    };
    const std::array<Entry, 4> entries = {{{"MOSI", &s.mosi, true},
                                           {"SCK", &s.sck, true},
                                           {"RESET", &s.reset, true},
                                           {"MISO", &s.miso, false}}};
    for (const Entry& e : entries) {
        const std::string text = read(e.key);
        if (text.empty()) continue;
        const std::string where = std::string("[FTDI] ") + e.key + "=" + text + ": ";
        if (!parsePin(text, *e.pin)) {
            error = where + "not one of TXD, RXD, RTS, CTS, DTR, DSR, DCD, RI";
            return std::nullopt;
        }
        const bool isOutput = ((kAdapterOutputs >> e.pin->bit) & 1u) != 0;
        if (isOutput != e.output) {
            error = where + (e.output ? "the adapter drives only TXD, RTS and DTR"
                                      : "MISO must be an input: RXD, CTS, DSR, DCD or RI");
            return std::nullopt;
        }
    }
    if (s.mosi.bit == s.sck.bit || s.mosi.bit == s.reset.bit || s.sck.bit == s.reset.bit) {
        error = "[FTDI] MOSI, SCK and RESET must be three different lines";
        return std::nullopt;
    }
    if (const std::string text = read("SckHz"); !text.empty()) {
        std::uint32_t hz = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), hz);
        if (ec != std::errc{} || end != text.data() + text.size() || hz < kMinSckHz ||
            hz > kMaxSckHz) {
            error = "[FTDI] SckHz=" + text + ": not a whole number from " +
                    std::to_string(kMinSckHz) + " to " + std::to_string(kMaxSckHz);
            return std::nullopt;
        }
        s.sckHz = hz;
    }
    return s;
}

} // namespace tessel
