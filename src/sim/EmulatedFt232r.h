#pragma once

#include "link/Ft232rSettings.h"
#include "link/UsbAdapters.h"
#include "sim/VirtualLightBar.h"
#include "support/Clock.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessel {

// What the emulated adapter saw.
struct UsbTransferCounts {
    std::uint64_t opens = 0;
    std::uint64_t transfers = 0;   // round trips: a write and its samples read back
    std::uint64_t outPackets = 0;  // 64-byte bulk packets to the adapter
    std::uint64_t inPackets = 0;   // packets back, two status bytes and up to 62 samples each
    std::uint64_t bytes = 0;       // pin states clocked out
};

// An FT232R USB-RS-232 adapter in front of the virtual light bar, for the tests and --simulate:
// one adapter (0403:6001, serial number "TSIM0001" unless told otherwise) whose RS-232 lines
// carry the programming cable. In synchronous bit-bang mode each byte written is applied to the
// output pins at one tick of a clock 16 times the baud rate, and the pins are sampled just before
// it; bytes reach the adapter in 64-byte packets through its 128-byte receive buffer, samples
// leave through its 256-byte transmit buffer in packets of two status bytes and up to 62 samples
// (a pin is never clocked while the transmit buffer is full), and a last short packet leaves when
// the 2 ms latency timer runs out. Every round trip costs at least 1 ms of USB time on the
// virtual clock, on top of the pin time. The light bar checks the waveform's timing.
class EmulatedFt232r final : public UsbAdapters {
public:
    static constexpr std::size_t kReceiveBufferBytes = 128; // from USB, waiting for the pins
    static constexpr std::size_t kTransmitBufferBytes = 256; // samples waiting for USB
    static constexpr std::size_t kPacketBytes = 64;
    static constexpr std::size_t kStatusBytes = 2;
    static constexpr std::uint64_t kRequestNanos = 500'000; // the write reaches the adapter
    static constexpr std::uint64_t kReturnNanos = 500'000;  // the last packet reaches the program
    static constexpr std::uint64_t kPacketNanos = 50'000;   // one bulk packet on the bus
    static constexpr std::uint64_t kLatencyNanos = 2'000'000;

    EmulatedFt232r(VirtualLightBar& bar, VirtualClock& clock, std::string serial = "TSIM0001");
    ~EmulatedFt232r() override;
    EmulatedFt232r(const EmulatedFt232r&) = delete;
    EmulatedFt232r& operator=(const EmulatedFt232r&) = delete;

    std::vector<AdapterInfo> list(std::uint16_t vendorId, std::uint16_t productId) override;
    std::unique_ptr<BitBangDevice> open(const AdapterChoice& choice, std::string& error) override;

    // How the cable sits on the adapter's pins (default: the usual cable; see Ft232rSettings).
    void setCableWiring(const Ft232rSettings& wiring) { wiring_ = wiring; }
    // Fault knobs: the adapter is pulled out once n more pin states have been clocked out (in
    // the middle of a transfer), or is not plugged in at all.
    void unplugAfterBytes(std::uint64_t n) { unplugAt_ = counts_.bytes + n; }
    void setPlugged(bool plugged) { plugged_ = plugged; }

    const UsbTransferCounts& counts() const { return counts_; }
    // Whether the program holds the adapter; while it does, the system's serial driver does not.
    bool held() const { return held_; }
    bool serialDriverBound() const { return plugged_ && !held_; }
    std::uint32_t baudRate() const { return baudRate_; }
    // Pins the program made outputs although the RS-232 receivers drive them (never wanted).
    std::uint8_t drivenReceiverPins() const { return drivenReceiverPins_; }

private:
    class Device;
    friend class Device;

    bool start(std::uint8_t outputMask, std::uint32_t baudRate);
    bool exchange(const std::uint8_t* out, std::uint8_t* in, std::size_t n);
    void release();
    void unplug();
    // The pins as sampled now, and the cable's levels for a byte on the outputs.
    std::uint8_t samplePins() const;
    void applyPins(std::uint8_t byte, std::uint64_t atNanos);
    void advanceClockTo(std::uint64_t nanos);

    VirtualLightBar& bar_;
    VirtualClock& clock_;
    std::string serial_;
    Ft232rSettings wiring_;
    bool plugged_ = true;
    bool held_ = false;
    bool bitBang_ = false;
    std::uint8_t outputMask_ = 0;
    std::uint8_t latch_ = 0xFF; // the output pins: UART idle levels until the first byte
    std::uint32_t baudRate_ = 0;
    std::uint64_t unplugAt_ = UINT64_MAX;
    std::uint64_t nowNanos_ = 0;
    std::uint8_t drivenReceiverPins_ = 0;
    UsbTransferCounts counts_;
};

} // namespace tessel
