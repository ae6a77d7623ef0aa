#pragma once

#include "link/UsbAdapters.h"
#include "sim/VirtualLightBar.h"
#include "support/Clock.h"

#include <cstdint>
#include <optional>
#include <span>
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

// The FT232R's own pins, as its data bus numbers them in bit-bang mode.
enum class Ft232rPin : std::uint8_t { TXD = 0, RXD, RTS, CTS, DTR, DSR, DCD, RI };

// How a programming cable sits on an FT232R's pins: which pin carries each signal, and whether
// the cable inverts it against the usual one. The usual cable: RESET held while DTR# is low (DTR
// raised), SCK high while RTS# is high, MOSI 1 while TXD is high, MISO 1 shown as RI# high.
struct CableWiring {
    struct Signal {
        Ft232rPin pin;
        bool inverted = false;
    };
    Signal reset{Ft232rPin::DTR};
    Signal sck{Ft232rPin::RTS};
    Signal mosi{Ft232rPin::TXD};
    Signal miso{Ft232rPin::RI};
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
//
// It is a UsbAdapters of its own (the jobs' tests, --simulate), and the device behind the test
// doubles of libftdi and of FTDI's D2XX driver, which drive it through claim(), startBitBang()
// and clockOut() as those drivers drive a real one.
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
    OpenedAdapter open(const AdapterChoice& choice) override;

    // --- The adapter as a driver sees it -----------------------------------------------------
    const std::string& serial() const { return serial_; }
    bool plugged() const { return plugged_; }
    // Takes the adapter for one program: false when it is not plugged in or held already.
    bool claim();
    // Leaves bit-bang mode and gives the adapter back to the system's serial driver.
    void unclaim();
    // Sets the baud rate and synchronous bit-bang mode; false when the adapter is gone.
    bool startBitBang(std::uint8_t outputMask, std::uint32_t baudRate);
    // A write of out and the read of its samples into in. The virtual clock ends where the last
    // sample reached the program, or where the adapter was pulled out or stopped clocking.
    enum class Fault { None, Unplugged, Stopped };
    struct Clocked {
        std::size_t samples = 0; // samples that reached the program
        Fault fault = Fault::None;
    };
    Clocked clockOut(std::span<const std::uint8_t> out, std::span<std::uint8_t> in);
    VirtualClock& clock() { return clock_; }

    // --- Knobs -------------------------------------------------------------------------------
    // How the cable sits on the adapter's pins (default: the usual cable).
    void setCableWiring(const CableWiring& wiring) { wiring_ = wiring; }
    // The adapter is pulled out once n more pin states have been clocked out (in the middle of a
    // transfer), or is not plugged in at all.
    void unplugAfterBytes(std::uint64_t n) { unplugAt_ = counts_.bytes + n; }
    void setPlugged(bool plugged) { plugged_ = plugged; }
    // The adapter stops clocking once n more pin states went out, and stays plugged in.
    void stopAfterBytes(std::uint64_t n) { stopAt_ = counts_.bytes + n; }
    // The cable cannot carry SCK faster than this: above it no clock edge reaches the light bar.
    void setCableLimitHz(std::uint32_t sckHz) { cableLimitHz_ = sckHz; }

    // --- What it saw -------------------------------------------------------------------------
    const UsbTransferCounts& counts() const { return counts_; }
    // The end of each transfer that came through whole: pin states clocked out so far, and the
    // instructions the light bar had carried out by then.
    struct TransferEnd {
        std::uint64_t bytes = 0;
        std::uint64_t instructions = 0;
    };
    const std::vector<TransferEnd>& transferEnds() const { return transferEnds_; }
    // Whether the program holds the adapter; while it does, the system's serial driver does not.
    bool held() const { return held_; }
    bool serialDriverBound() const { return plugged_ && !held_; }
    std::uint32_t baudRate() const { return baudRate_; }
    // Pins the program made outputs although the RS-232 receivers drive them (never wanted).
    std::uint8_t drivenReceiverPins() const { return drivenReceiverPins_; }
    // The output pins as the first byte after bit-bang mode last started set them, and as they
    // stood when bit-bang mode last ended (outputs only).
    std::optional<std::uint8_t> pinsAfterStart() const { return pinsAfterStart_; }
    std::optional<std::uint8_t> pinsAtEnd() const { return pinsAtEnd_; }

private:
    class Device;
    friend class Device;

    void unplug();
    // The pins as sampled now, and the cable's levels for a byte on the outputs.
    std::uint8_t samplePins() const;
    void applyPins(std::uint8_t byte, std::uint64_t atNanos);
    void advanceClockTo(std::uint64_t nanos);
    bool cableTooSlow() const;

    VirtualLightBar& bar_;
    VirtualClock& clock_;
    std::string serial_;
    CableWiring wiring_;
    bool plugged_ = true;
    bool held_ = false;
    bool bitBang_ = false;
    bool freshStart_ = false; // no byte clocked since bit-bang mode started
    std::uint8_t outputMask_ = 0;
    std::uint8_t latch_ = 0xFF; // the output pins: UART idle levels until the first byte
    std::uint32_t baudRate_ = 0;
    std::uint32_t cableLimitHz_ = UINT32_MAX;
    std::uint64_t unplugAt_ = UINT64_MAX;
    std::uint64_t stopAt_ = UINT64_MAX;
    std::uint64_t nowNanos_ = 0;
    std::uint8_t drivenReceiverPins_ = 0;
    std::optional<std::uint8_t> pinsAfterStart_, pinsAtEnd_;
    UsbTransferCounts counts_;
    std::vector<TransferEnd> transferEnds_;
};

} // namespace tessel
