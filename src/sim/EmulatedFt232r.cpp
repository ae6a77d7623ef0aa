#include "sim/EmulatedFt232r.h"

#include "link/Ft232rSettings.h"

#include <algorithm>
#include <deque>

namespace tessel {

namespace {

constexpr std::uint8_t kReceiverPins = 0xEA; // RXD, CTS#, DSR#, DCD#, RI#: the RS-232 receivers'
constexpr std::uint8_t kModemStatus = 0x01;  // the two status bytes that lead every IN packet
constexpr std::uint8_t kLineStatus = 0x60;

bool levelOf(std::uint8_t pins, const CableWiring::Signal& signal) {
    return (((pins >> static_cast<unsigned>(signal.pin)) & 1u) != 0) != signal.inverted;
}

} // namespace

// The adapter as the jobs' tests and --simulate open it: its failures as the drivers report them.
class EmulatedFt232r::Device final : public BitBangDevice {
public:
    explicit Device(EmulatedFt232r& adapter) : adapter_(adapter) {}
    ~Device() override { adapter_.unclaim(); }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    LinkError start(std::uint8_t outputMask, std::uint32_t baudRate) override {
        if (adapter_.startBitBang(outputMask, baudRate)) return LinkError::none();
        return LinkError::of(LinkError::Kind::Unplugged, "the adapter was unplugged");
    }
    // Time is the adapter's virtual clock, which the job's clock is in the tests.
    LinkError exchange(std::span<const std::uint8_t> out, std::span<std::uint8_t> in, Clock&,
                       std::uint32_t timeoutMs) override {
        const std::uint64_t deadline = adapter_.clock_.micros() + std::uint64_t{timeoutMs} * 1000;
        switch (adapter_.clockOut(out, in).fault) {
        case Fault::None: return LinkError::none();
        case Fault::Unplugged:
            return LinkError::of(LinkError::Kind::Unplugged, "the adapter was unplugged");
        case Fault::Stopped: break;
        }
        adapter_.advanceClockTo(deadline * 1000);
        return LinkError::of(LinkError::Kind::Stopped, "the adapter stopped answering");
    }

private:
    EmulatedFt232r& adapter_;
};

EmulatedFt232r::EmulatedFt232r(VirtualLightBar& bar, VirtualClock& clock, std::string serial)
    : bar_(bar), clock_(clock), serial_(std::move(serial)) {}

EmulatedFt232r::~EmulatedFt232r() = default;

std::vector<AdapterInfo> EmulatedFt232r::list(std::uint16_t vendorId, std::uint16_t productId) {
    if (!plugged_ || vendorId != kFtdiVendorId || productId != kFt232rProductId) return {};
    return {{serial_, kFtdiVendorId, kFt232rProductId, "FT232R USB UART (emulated)"}};
}

OpenedAdapter EmulatedFt232r::open(const AdapterChoice& choice) {
    const auto listed = list(choice.vendorId, choice.productId);
    const bool found = !listed.empty() && (choice.serial.empty() ? choice.index == 0
                                                                 : choice.serial == serial_);
    if (!found)
        return {nullptr,
                LinkError::of(LinkError::Kind::Unavailable, "no such FTDI adapter is plugged in")};
    if (!claim())
        return {nullptr, LinkError::of(LinkError::Kind::Refused,
                                       "the adapter is in use by another program")};
    return {std::make_unique<Device>(*this), LinkError::none()};
}

bool EmulatedFt232r::claim() {
    if (!plugged_ || held_) return false;
    held_ = true;
    ++counts_.opens;
    return true;
}

bool EmulatedFt232r::startBitBang(std::uint8_t outputMask, std::uint32_t baudRate) {
    if (!plugged_ || !held_ || baudRate == 0) return false;
    outputMask_ = outputMask;
    drivenReceiverPins_ |= static_cast<std::uint8_t>(outputMask & kReceiverPins);
    baudRate_ = baudRate;
    bitBang_ = true;
    freshStart_ = true;
    pinsAfterStart_.reset();
    return true;
}

void EmulatedFt232r::unclaim() {
    if (!held_) return;
    held_ = false;
    if (bitBang_) pinsAtEnd_ = static_cast<std::uint8_t>(latch_ & outputMask_);
    bitBang_ = false;
    latch_ = 0xFF;
    if (plugged_) bar_.releasePins(); // a serial port again: its lines idle, RESET released
}

void EmulatedFt232r::unplug() {
    plugged_ = false;
    bitBang_ = false;
    bar_.releasePins(); // the adapter's line drivers lose their power
}

bool EmulatedFt232r::cableTooSlow() const {
    const double sckHz =
        Ft232rSettings::byteClockHz(baudRate_) / Ft232rSettings::kBytesPerSckPeriod;
    return sckHz > cableLimitHz_;
}

void EmulatedFt232r::advanceClockTo(std::uint64_t nanos) {
    nowNanos_ = std::max(nowNanos_, nanos);
    const std::uint64_t micros = nowNanos_ / 1000;
    if (micros > clock_.micros()) clock_.advanceMicros(micros - clock_.micros());
}

std::uint8_t EmulatedFt232r::samplePins() const {
    // Inputs idle high (a receiver with nothing on its line reads mark), MISO as the chip drives it.
    const bool misoHigh = (bar_.misoLevel() != 0) != wiring_.miso.inverted;
    const auto misoBit = static_cast<unsigned>(wiring_.miso.pin);
    std::uint8_t pins = static_cast<std::uint8_t>((latch_ & outputMask_) | ~outputMask_);
    if (((outputMask_ >> misoBit) & 1u) == 0 && !misoHigh)
        pins = static_cast<std::uint8_t>(pins & ~(1u << misoBit));
    return pins;
}

void EmulatedFt232r::applyPins(std::uint8_t byte, std::uint64_t atNanos) {
    latch_ = byte;
    if (freshStart_) pinsAfterStart_ = static_cast<std::uint8_t>(byte & outputMask_);
    freshStart_ = false;
    const auto pins = static_cast<std::uint8_t>((latch_ & outputMask_) | ~outputMask_);
    // A cable too slow for the clock passes RESET and MOSI but no SCK edge.
    bar_.drivePins({!levelOf(pins, wiring_.reset), !cableTooSlow() && levelOf(pins, wiring_.sck),
                    levelOf(pins, wiring_.mosi)},
                   atNanos);
}

EmulatedFt232r::Clocked EmulatedFt232r::clockOut(std::span<const std::uint8_t> out,
                                                 std::span<std::uint8_t> in) {
    ++counts_.transfers;
    const std::size_t n = std::min(out.size(), in.size());
    if (!plugged_ || !held_ || !bitBang_) return {0, Fault::Unplugged};
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
        if (counts_.bytes >= stopAt_) {
            // It clocks no more: the samples taken so far still leave with the latency timer.
            std::copy_n(samples.begin(), k, in.begin());
            advanceClockTo((k > 0 ? applied[k - 1] : start) + kLatencyNanos + kReturnNanos);
            return {k, Fault::Stopped};
        }
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
            return {0, Fault::Unplugged};
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
    transferEnds_.push_back({counts_.bytes, bar_.counts().instructions});
    return {got, Fault::None};
}

} // namespace tessel
