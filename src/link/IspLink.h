#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "link/Atmega128.h"

namespace tessel {

// One four-byte serial programming instruction, as sent or as received.
using Instruction = atmega128::Instruction;

// The instructions a link was given, numbered from 1 in the order given (0: none yet).
using InstructionTicket = std::uint64_t;

// What became of an instruction, as far as the link can tell. The chip carries an instruction
// out at the last rising clock edge of its 32 bits.
enum class Delivery {
    NotSent,   // that edge never went out: held back, or the link failed before it
    Maybe,     // it went out in a transfer that failed part-way: it may have reached the chip
    Delivered, // that edge is known to have gone out
};

// A link that keeps a clock of its own (an adapter's SCK) slowed down after a silent enable try.
struct ClockStep {
    std::uint32_t fromHz = 0;
    std::uint32_t toHz = 0;
};

// How the programming instructions reach the chip: the serial port's line calls one at a time,
// or an adapter that takes whole runs of instructions in one transfer (FT232R synchronous
// bit-bang). The chip sees the same waveform either way: RESET, SCK and MOSI levels, MISO sampled
// while SCK is high, and the same waits. Everything above (the instructions' procedures, the
// jobs) is the same on every link.
//
// A link may hold back instructions whose answers are not used and send them with the next one
// that needs an answer, a wait, or the port's close; a failure on the way is reported to the
// job's result (32) with its reason when it shows, and from then on every answer reads 00.
// An instruction held back counts as not sent until the transfer that carries it has returned
// complete (delivery()), so whoever keeps account of what reached the chip asks after the wait
// that follows an instruction that changes it.
class IspLink {
public:
    virtual ~IspLink() = default;

    // One try of programming enable: SCK low and MOSI 0, RESET released then held (with their
    // waits), then AC 53 00 00. Returns the four bytes received.
    virtual Instruction enableTry() = 0;
    // After a failed try: a 10 ms wait and one extra clock pulse, to bring a slave that lost a
    // bit back into step.
    virtual void resynchronize() = 0;
    // One instruction. usedAnswers: bit i for received byte i + 1; a byte not used may read 00.
    virtual Instruction exchange(const Instruction& sent, unsigned usedAnswers) = 0;
    // Instructions whose answers are all the fourth byte (reads): one transfer where it pays.
    virtual void readRun(std::span<const Instruction> sent, std::span<std::uint8_t> answers) = 0;
    // How many reads the instructions may gather into one run (1: read each byte when asked).
    virtual std::size_t readAhead() const = 0;
    // Waits ms milliseconds once everything sent so far has reached the chip.
    virtual void wait(std::uint32_t ms) = 0;
    // The last instruction given, and what became of one: the serial lines know (no line call
    // failed before the clock edge of its last bit); an adapter knows once the transfer that
    // carried it returned, and cannot tell of one in a transfer that failed part-way.
    virtual InstructionTicket lastGiven() const = 0;
    virtual Delivery delivery(InstructionTicket ticket) const = 0;
    // RESET released, with its wait (the engine's end while the light bar is held in reset).
    virtual void releaseReset() = 0;

    // The SCK rate of a link that sets its own (an adapter's), else nothing.
    virtual std::optional<std::uint32_t> clockHz() const { return std::nullopt; }
    // After an enable try that was not echoed: a link with a clock of its own halves it, down to
    // a floor, and says from what to what; nothing when it cannot or has no such clock.
    virtual std::optional<ClockStep> slowDown() { return std::nullopt; }
};

} // namespace tessel
