#include "link/SerialIspLink.h"

#include "link/IspPort.h"

#include <algorithm>

namespace tessel {

namespace {
constexpr unsigned kEnableEcho = 0xC; // bytes 3 and 4 of the enable instruction
} // namespace

std::uint8_t SerialIspLink::exchangeByte(std::uint8_t value, bool answerUsed) {
    // MOSI changes only while the clock is low; MISO is sampled while it is high.
    const bool sample = answerUsed || !port_.fast();
    port_.clockLow();
    unsigned received = 0;
    for (int bit = 7; bit >= 0; --bit) {
        if ((value >> bit) & 1)
            port_.dataOut1();
        else
            port_.dataOut0();
        port_.clockHigh();
        failedBeforeEdge_ = port_.failedCalls();
        received = (received << 1) | (sample ? static_cast<unsigned>(port_.sampleDataIn()) : 0u);
        port_.clockLow();
    }
    return static_cast<std::uint8_t>(received);
}

Instruction SerialIspLink::exchange(const Instruction& sent, unsigned usedAnswers) {
    Instruction received{};
    const InstructionTicket ticket = ++given_;
    const std::uint64_t failedBefore = port_.failedCalls();
    for (std::size_t i = 0; i < 4; ++i) received[i] = exchangeByte(sent[i], (usedAnswers >> i) & 1u);
    if (failedBeforeEdge_ != failedBefore) notDelivered_.push_back(ticket);
    return received;
}

Delivery SerialIspLink::delivery(InstructionTicket ticket) const {
    if (ticket == 0 || ticket > given_ ||
        std::find(notDelivered_.begin(), notDelivered_.end(), ticket) != notDelivered_.end())
        return Delivery::NotSent;
    return Delivery::Delivered;
}

void SerialIspLink::readRun(std::span<const Instruction> sent, std::span<std::uint8_t> answers) {
    for (std::size_t i = 0; i < sent.size(); ++i) answers[i] = exchange(sent[i], 0x8)[3];
}

Instruction SerialIspLink::enableTry() {
    port_.clockLow();
    port_.dataOut0();
    port_.releaseReset();
    port_.assertReset();
    return exchange(atmega128::programmingEnable(), kEnableEcho);
}

void SerialIspLink::resynchronize() {
    port_.wait(10);
    port_.clockHigh();
    port_.clockHigh();
    port_.clockLow();
    port_.clockLow();
}

void SerialIspLink::wait(std::uint32_t ms) { port_.wait(ms); }

void SerialIspLink::releaseReset() { port_.releaseReset(); }

} // namespace tessel
