#include "link/Ft232rLink.h"

#include "link/IspPort.h"

#include <algorithm>

namespace tessel {

namespace {

constexpr unsigned kEnableEcho = 0xC;

// Instructions that fit one transfer and the pins' time between two runs of the message pump.
std::size_t runInstructionsAt(const Ft232rSettings& settings) {
    const double bytesPerPump =
        Ft232rSettings::byteClockHz(settings.baudRate()) * IspPort::kPumpIntervalMs / 1000.0;
    return std::clamp<std::size_t>(static_cast<std::size_t>(bytesPerPump) /
                                       Ft232rLink::kBytesPerInstruction,
                                   1, Ft232rLink::kRunInstructions);
}

} // namespace

Ft232rLink::Ft232rLink(BitBangDevice& device, const Ft232rSettings& settings, IspPort& port)
    : device_(device), settings_(settings), port_(port),
      runInstructions_(runInstructionsAt(settings)) {}

LinkError Ft232rLink::start() {
    return writeIdleLines();
}

void Ft232rLink::finish() {
    flush();
    // The job has ended and reported: a failure now only leaves the lines where they are.
    if (!dead_) writeIdleLines();
}

LinkError Ft232rLink::writeIdleLines() {
    flush();
    resetHeld_ = false;
    port_.noteResetHeld(false);
    mosi_ = true;
    out_.assign(1, settings_.pins(false, true, true));
    sent_ = false;
    const LinkError error = send();
    sent_ = true;
    return error;
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
    startStream();
    ++given_;
    if (heldFrom_ == 0) heldFrom_ = given_;
    for (const std::uint8_t byte : sent)
        for (int bit = 7; bit >= 0; --bit) {
            mosi_ = ((byte >> bit) & 1u) != 0;
            put(false); // MOSI changes while SCK is low
            put(true);
        }
}

LinkError Ft232rLink::send() {
    const std::size_t packets = (out_.size() + kSamplesPerPacket - 1) / kSamplesPerPacket;
    out_.resize(packets * kSamplesPerPacket, out_.back());
    samples_.assign(out_.size(), 0);
    if (dead_) return LinkError::none();
    const double pinMs = static_cast<double>(out_.size()) * 1000.0 /
                         Ft232rSettings::byteClockHz(settings_.baudRate());
    const auto deadlineMs = static_cast<std::uint32_t>(2 * pinMs) + 1 + kDeadlineSlackMs;
    return device_.exchange(out_, samples_, port_.clock(), deadlineMs);
}

void Ft232rLink::failed(const LinkError& error) {
    dead_ = true;
    std::fill(samples_.begin(), samples_.end(), std::uint8_t{0});
    port_.reportLinkFailure(error);
}

void Ft232rLink::transfer() {
    if (sent_ || out_.empty()) return;
    put(false); // SCK back low: its sample is MISO during the last high phase
    const InstructionTicket first = heldFrom_;
    heldFrom_ = 0;
    const bool wasDead = dead_;
    if (const LinkError error = send(); error.failed()) failed(error);
    sent_ = true;
    if (first != 0 && !dead_) deliveredUpTo_ = given_;
    if (first != 0 && dead_ && !wasDead) {
        maybeFrom_ = first;
        maybeTo_ = given_;
    }
    port_.pumpWhenDue();
}

Delivery Ft232rLink::delivery(InstructionTicket ticket) const {
    if (ticket == 0) return Delivery::NotSent;
    if (ticket <= deliveredUpTo_) return Delivery::Delivered;
    if (ticket >= maybeFrom_ && ticket <= maybeTo_) return Delivery::Maybe;
    return Delivery::NotSent;
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
    // Pin states add no time of their own as a serial port's line calls do: the datasheet's
    // minimum from RESET to the enable is kept whatever the link mode's wait.
    setReset(true, std::max(port_.waits().assertResetMs, kResetToEnableMs));
    return exchange(atmega128::programmingEnable(), kEnableEcho);
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

std::optional<ClockStep> Ft232rLink::slowDown() {
    const ClockStep step{settings_.sckHz, settings_.sckHz / 2};
    if (dead_ || step.toHz < kSlowestStepHz) return std::nullopt;
    flush();
    settings_.sckHz = step.toHz;
    runInstructions_ = runInstructionsAt(settings_);
    const LinkError error = device_.start(settings_.outputMask(), settings_.baudRate());
    if (error.failed()) {
        failed(error);
        return std::nullopt;
    }
    if (const LinkError idle = writeIdleLines(); idle.failed()) {
        failed(idle);
        return std::nullopt;
    }
    return step;
}

} // namespace tessel
