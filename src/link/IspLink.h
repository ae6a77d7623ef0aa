#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tessel {

// One four-byte serial programming instruction, as sent or as received.
using Instruction = std::array<std::uint8_t, 4>;

// How the programming instructions reach the chip: the serial port's line calls one at a time,
// or an adapter that takes whole runs of instructions in one transfer (FT232R synchronous
// bit-bang). The chip sees the same waveform either way: RESET, SCK and MOSI levels, MISO sampled
// while SCK is high, and the same waits. Everything above (the instructions' procedures, the
// jobs) is the same on every link.
//
// A link may hold back instructions whose answers are not used and send them with the next one
// that needs an answer, a wait, or the port's close; a failure on the way is reported to the
// job's result (32) when it shows, and from then on every answer reads 00.
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
    // Whether the last instruction given reached the chip whole, or may have: the serial lines
    // know (no line call failed before the clock edge of its last bit, where the chip acts on
    // it); an adapter whose transfer failed part-way cannot tell and answers true, as if it had.
    virtual bool lastDelivered() const = 0;
    // RESET released, with its wait (the engine's end while the light bar is held in reset).
    virtual void releaseReset() = 0;
};

} // namespace tessel
