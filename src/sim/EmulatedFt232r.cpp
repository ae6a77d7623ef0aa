#include "sim/EmulatedFt232r.h"

#include <algorithm>
#include <deque>

namespace tessel {

namespace {

constexpr std::uint8_t kReceiverPins = 0xEA; // RXD, CTS#, DSR#, DCD#, RI#: the RS-232 receivers'
constexpr std::uint8_t kModemStatus = 0x01;  // the two status bytes that lead every IN packet
constexpr std::uint8_t kLineStatus = 0x60;

bool levelOf(std::uint8_t pins, const Ft232rSettings::Pin& pin) {
    return (((pins >> pin.bit) & 1u) != 0) != pin.inverted;
}

} // namespace

class EmulatedFt232r::Device final : public BitBangDevice {
public:
    explicit Device(EmulatedFt232r& adapter) : adapter_(adapter) {}
    ~Device() override { adapter_.release(); }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    bool start(std::uint8_t outputMask, std::uint32_t baudRate) override {
        return adapter_.start(outputMask, baudRate) || fail();
    }
    bool exchange(std::span<const std::uint8_t> out, std::span<std::uint8_t> in) override {
        return adapter_.exchange(out.data(), in.data(), std::min(out.size(), in.size())) || fail();
    }
    std::string errorText() const override { return error_; }

private:
    bool fail() {
        error_ = adapter_.plugged_ ? "the adapter refused" : "USB device unavailable";
        return false;
    }
    EmulatedFt232r& adapter_;
    std::string error_;
};

EmulatedFt232r::EmulatedFt232r(VirtualLightBar& bar, VirtualClock& clock, std::string serial)
    : bar_(bar), clock_(clock), serial_(std::move(serial)) {}

EmulatedFt232r::~EmulatedFt232r() = default;

std::vector<AdapterInfo> EmulatedFt232r::list(std::uint16_t vendorId, std::uint16_t productId) {
    if (!plugged_ || vendorId != kFtdiVendorId || productId != kFt232rProductId) return {};
    return {{serial_, kFtdiVendorId, kFt232rProductId, "FT232R USB UART (emulated)"}};
}

std::unique_ptr<BitBangDevice> EmulatedFt232r::open(const AdapterChoice& choice, std::string& error) {
    const auto listed = list(choice.vendorId, choice.productId);
    const bool found = !listed.empty() && (choice.serial.empty() ? choice.index == 0
                                                                 : choice.serial == serial_);
    if (!found) {
        error = "no such FTDI adapter is plugged in";
        return nullptr;
    }
    if (held_) {
        error = "the adapter is in use";
        return nullptr;
    }
    held_ = true;
    ++counts_.opens;
    return std::make_unique<Device>(*this);
}

bool EmulatedFt232r::start(std::uint8_t outputMask, std::uint32_t baudRate) {
    if (!plugged_ || baudRate == 0) return false;
    outputMask_ = outputMask;
    drivenReceiverPins_ |= static_cast<std::uint8_t>(outputMask & kReceiverPins);
    baudRate_ = baudRate;
    bitBang_ = true;
    return true;
}

void EmulatedFt232r::release() {
    held_ = false;
    bitBang_ = false;
    latch_ = 0xFF;
    if (plugged_) bar_.releasePins(); // a serial port again: its lines idle, RESET released
}

void EmulatedFt232r::unplug() {
    plugged_ = false;
    bitBang_ = false;
    bar_.releasePins(); // the adapter's line drivers lose their power
}

void EmulatedFt232r::advanceClockTo(std::uint64_t nanos) {
    nowNanos_ = std::max(nowNanos_, nanos);
    const std::uint64_t micros = nowNanos_ / 1000;
    if (micros > clock_.micros()) clock_.advanceMicros(micros - clock_.micros());
}

std::uint8_t EmulatedFt232r::samplePins() const {
    // Inputs idle high (a receiver with nothing on its line reads mark), MISO as the chip drives it.
    const bool miso = (bar_.misoLevel() != 0) != wiring_.miso.inverted;
    std::uint8_t pins = static_cast<std::uint8_t>((latch_ & outputMask_) | ~outputMask_);
    if (((outputMask_ >> wiring_.miso.bit) & 1u) == 0 && !miso)
        pins = static_cast<std::uint8_t>(pins & ~(1u << wiring_.miso.bit));
    return pins;
}

void EmulatedFt232r::applyPins(std::uint8_t byte, std::uint64_t atNanos) {
    latch_ = byte;
    const auto pins = static_cast<std::uint8_t>((latch_ & outputMask_) | ~outputMask_);
    bar_.drivePins({!levelOf(pins, wiring_.reset), levelOf(pins, wiring_.sck),
                    levelOf(pins, wiring_.mosi)},
                   atNanos);
}

bool EmulatedFt232r::exchange(const std::uint8_t* out, std::uint8_t* in, std::size_t n) {
    ++counts_.transfers;
    if (!plugged_ || !held_ || !bitBang_) return false;
    const double tick = 1e9 / Ft232rSettings::byteClockHz(baudRate_);
    const std::uint64_t start = std::max(nowNanos_, clock_.micros() * 1000) + kRequestNanos;

    std::vector<std::uint64_t> applied(n);  // when each byte reached the pins
    std::deque<std::uint64_t> departures;   // IN packets sent, oldest first
    std::vector<std::uint8_t> packets;      // the IN stream as the program receives it
    std::size_t waiting = 0;                // samples in the transmit buffer, not yet packed
    std::uint64_t lastDeparture = start, arrival = start;
    double previous = static_cast<double>(start) - tick;
    auto send = [&](std::size_t samples, const std::uint8_t* from, std::uint64_t at) {
        lastDeparture = std::max(at, lastDeparture + kPacketNanos);
        departures.push_back(lastDeparture);
        packets.push_back(kModemStatus);
        packets.push_back(kLineStatus);
        packets.insert(packets.end(), from, from + samples);
        ++counts_.inPackets;
    };
    std::vector<std::uint8_t> samples(n);
    const std::size_t perPacket = kPacketBytes - kStatusBytes;
    for (std::size_t k = 0; k < n; ++k) {
        if (k % kPacketBytes == 0) {
            // A packet enters the receive buffer once the one two before it has been clocked out.
            const std::size_t j = k / kPacketBytes;
            arrival = start + j * kPacketNanos;
            if (j >= 2) arrival = std::max(arrival, applied[(j - 1) * kPacketBytes - 1] + kPacketNanos);
            ++counts_.outPackets;
        }
        auto at = static_cast<std::uint64_t>(std::max(previous + tick, static_cast<double>(arrival)));
        // No pin is clocked while the transmit buffer is full: it waits for the next packet out.
        while (!departures.empty() && departures.front() <= at) departures.pop_front();
        if (waiting + departures.size() * perPacket >= kTransmitBufferBytes && !departures.empty())
            at = std::max(at, departures.front());
        previous = static_cast<double>(at);
        advanceClockTo(at);
        samples[k] = samplePins(); // read just before the byte is applied
        applyPins(out[k], at);
        applied[k] = at;
        if (++waiting == perPacket) {
            send(perPacket, &samples[k + 1 - perPacket], at);
            waiting = 0;
        }
        if (++counts_.bytes >= unplugAt_) {
            unplug();
            return false;
        }
    }
    if (waiting > 0) send(waiting, &samples[n - waiting], std::max(applied[n - 1], lastDeparture) + kLatencyNanos);
    advanceClockTo(lastDeparture + kReturnNanos);

    // libftdi and the D2XX driver strip the two status bytes of every packet.
    std::size_t got = 0;
    for (std::size_t p = 0; p < packets.size(); p += kPacketBytes) {
        const std::size_t end = std::min(packets.size(), p + kPacketBytes);
        for (std::size_t i = p + kStatusBytes; i < end; ++i) in[got++] = packets[i];
    }
    return got == n;
}

} // namespace tessel
