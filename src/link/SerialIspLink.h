#pragma once

#include "link/IspLink.h"

#include <vector>

namespace tessel {

class IspPort;

// The instructions shifted bit by bit over the serial port's lines: every bit costs its line
// calls (see IspPort), the same calls in the same order on every run. Nothing is held back.
class SerialIspLink final : public IspLink {
public:
    explicit SerialIspLink(IspPort& port) : port_(port) {}

    // Sends one byte, most significant bit first, and returns the byte received meanwhile. On
    // the fast link a byte whose answer is not used is not sampled and reads 00.
    std::uint8_t exchangeByte(std::uint8_t value, bool answerUsed = true);

    Instruction enableTry() override;
    void resynchronize() override;
    Instruction exchange(const Instruction& sent, unsigned usedAnswers) override;
    void readRun(std::span<const Instruction> sent, std::span<std::uint8_t> answers) override;
    std::size_t readAhead() const override { return 1; }
    void wait(std::uint32_t ms) override;
    void releaseReset() override;
    InstructionTicket lastGiven() const override { return given_; }
    Delivery delivery(InstructionTicket ticket) const override;
    // A port opened afresh: what earlier ones lost is forgotten.
    void restart() { notDelivered_.clear(); }

private:
    IspPort& port_;
    std::uint64_t failedBeforeEdge_ = 0; // the port's failed calls as of the last rising edge
    InstructionTicket given_ = 0;
    // Instructions during which a line call failed before their last rising edge: the chip
    // never carried them out. Only a failing port adds to it, and a job stops at its next check.
    std::vector<InstructionTicket> notDelivered_;
};

} // namespace tessel
