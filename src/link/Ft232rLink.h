#pragma once

#include "link/Ft232rSettings.h"
#include "link/IspLink.h"
#include "link/UsbAdapters.h"

#include <vector>

namespace tessel {

class IspPort;

// The instructions as streams of pin states for an FT232R in synchronous bit-bang mode. Each bit
// is two bytes, SCK low then SCK high with MOSI steady through both; MISO is the sample taken
// just before the byte after the high one, that is while SCK is high. Instructions whose answers
// are not used (page loads, a page write, erase, fuses) are held back and go out with the next
// transfer, so a page of loads or a block of reads is one USB round trip. Waits are kept on the
// host's clock after the stream before them has been clocked out.
class Ft232rLink final : public IspLink {
public:
    // Instructions per transfer: at most 64 (4 KB of pin states, about 20 ms at 100 kHz), and no
    // more than the pins clock out between two runs of the window's message pump.
    static constexpr std::size_t kRunInstructions = 64;
    static constexpr std::size_t kBytesPerInstruction = 32 * Ft232rSettings::kBytesPerSckPeriod;
    // Pin samples an FT232R returns per 64-byte bulk packet (two bytes carry its status). A
    // transfer is padded with idle bytes to whole packets, so its last packet leaves the adapter
    // at once instead of after the latency timer.
    static constexpr std::size_t kSamplesPerPacket = 62;

    Ft232rLink(BitBangDevice& device, const Ft232rSettings& settings, IspPort& port);

    Instruction enableTry() override;
    void resynchronize() override;
    Instruction exchange(const Instruction& sent, unsigned usedAnswers) override;
    void readRun(std::span<const Instruction> sent, std::span<std::uint8_t> answers) override;
    std::size_t readAhead() const override { return runInstructions_; }
    void wait(std::uint32_t ms) override;
    void releaseReset() override;
    bool lastDelivered() const override { return lastDelivered_; }

    // Sends what is held back (before the adapter is closed).
    void flush();

private:
    void startStream();
    void put(bool sckHigh);
    void putInstruction(const Instruction& sent);
    // Sends the stream; samples_ then holds the pins read before each byte.
    void transfer();
    // Byte j (0..3) of the answer to the instruction whose stream begins at start.
    std::uint8_t answerAt(std::size_t start, std::size_t j) const;
    void setReset(bool held, std::uint32_t waitMs);

    BitBangDevice& device_;
    Ft232rSettings settings_;
    IspPort& port_;
    std::size_t runInstructions_;
    std::vector<std::uint8_t> out_;
    std::vector<std::uint8_t> samples_;
    bool sent_ = false; // out_ went out: the next byte starts a new stream
    bool resetHeld_ = false;
    bool mosi_ = true;
    bool dead_ = false; // the adapter failed or is gone: nothing more is sent
    // The last instruction was given while the adapter lived: it goes out (or went out) whole,
    // unless its transfer fails, and then it may have reached the chip.
    bool lastDelivered_ = false;
};

} // namespace tessel
