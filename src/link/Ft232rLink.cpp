#include "link/Ft232rLink.h"

#include "link/IspPort.h"

#include <algorithm>

namespace tessel {

namespace {
constexpr unsigned kEnableEcho = 0xC;
} // namespace

Ft232rLink::Ft232rLink(BitBangDevice& device, const Ft232rSettings& settings, IspPort& port)
    : device_(device), settings_(settings), port_(port) {
    const double bytesPerPump =
        Ft232rSettings::byteClockHz(settings.baudRate()) * IspPort::kPumpIntervalMs / 1000.0;
    runInstructions_ = std::clamp<std::size_t>(
        static_cast<std::size_t>(bytesPerPump) / kBytesPerInstruction, 1, kRunInstructions);
}

void Ft232rLink::startStream() {
    if (!sent_) return;
    out_.clear();
    sent_ = false;
}

void Ft232rLink::put(bool sckHigh) {
    startStream();
    out_.push_back(settings_.pins(resetHeld_, sckHigh, mosi_));
}

void Ft232rLink::putInstruction(const Instruction& sent) {
    lastDelivered_ = !dead_;
    for (const std::uint8_t byte : sent)
        for (int bit = 7; bit >= 0; --bit) {
            mosi_ = ((byte >> bit) & 1u) != 0;
            put(false); // MOSI changes while SCK is low
            put(true);
        }
}

void Ft232rLink::transfer() {
    if (sent_ || out_.empty()) return;
    put(false); // SCK back low: its sample is MISO during the last high phase
    const std::size_t packets = (out_.size() + kSamplesPerPacket - 1) / kSamplesPerPacket;
    out_.resize(packets * kSamplesPerPacket, out_.back());
    samples_.assign(out_.size(), 0);
    if (!dead_ && !device_.exchange(out_, samples_)) {
        dead_ = true;
        std::fill(samples_.begin(), samples_.end(), std::uint8_t{0});
    }
    if (dead_) port_.reportLinkFailure();
    sent_ = true;
    port_.pumpWhenDue();
}

std::uint8_t Ft232rLink::answerAt(std::size_t start, std::size_t j) const {
    // After any failure of the job every answer reads 00, as on a serial port.
    if (port_.failed()) return 0;
    unsigned value = 0;
    for (std::size_t bit = 0; bit < 8; ++bit) {
        const std::size_t high = start + 2 * (8 * j + bit) + 1;
        value = (value << 1) | static_cast<unsigned>(settings_.misoOf(samples_[high + 1]));
    }
    return static_cast<std::uint8_t>(value);
}

Instruction Ft232rLink::exchange(const Instruction& sent, unsigned usedAnswers) {
    startStream();
    const std::size_t start = out_.size();
    putInstruction(sent);
    if (usedAnswers == 0) {
        if (out_.size() >= runInstructions_ * kBytesPerInstruction) transfer();
        return {};
    }
    transfer();
    Instruction received{};
    for (std::size_t j = 0; j < 4; ++j)
        if ((usedAnswers >> j) & 1u) received[j] = answerAt(start, j);
    return received;
}

void Ft232rLink::readRun(std::span<const Instruction> sent, std::span<std::uint8_t> answers) {
    startStream();
    const std::size_t start = out_.size();
    for (const Instruction& i : sent) putInstruction(i);
    transfer();
    for (std::size_t k = 0; k < sent.size(); ++k)
        answers[k] = answerAt(start + k * kBytesPerInstruction, 3);
}

void Ft232rLink::flush() { transfer(); }

void Ft232rLink::wait(std::uint32_t ms) {
    flush();
    port_.wait(ms);
}

void Ft232rLink::setReset(bool held, std::uint32_t waitMs) {
    resetHeld_ = held;
    put(false);
    transfer();
    port_.noteResetHeld(held);
    port_.wait(waitMs);
}

Instruction Ft232rLink::enableTry() {
    flush();
    mosi_ = false;
    setReset(false, port_.waits().releaseResetMs); // SCK low, MOSI 0, RESET released
    setReset(true, port_.waits().assertResetMs);
    return exchange({0xAC, 0x53, 0x00, 0x00}, kEnableEcho);
}

void Ft232rLink::resynchronize() {
    wait(10);
    put(true); // one extra clock pulse
    put(false);
}

void Ft232rLink::releaseReset() {
    flush();
    setReset(false, port_.waits().releaseResetMs);
}

} // namespace tessel
