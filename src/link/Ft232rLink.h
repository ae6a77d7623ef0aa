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
//
// An instruction counts as delivered only once the transfer that carried it returned complete;
// one in a transfer that failed may have reached the chip. After a failure nothing more is sent.
class Ft232rLink final : public IspLink {
public:
    static constexpr std::size_t kBytesPerInstruction = 32 * Ft232rSettings::kBytesPerSckPeriod;
    // Pin samples an FT232R returns per 64-byte bulk packet (two bytes carry its status). A
    // transfer is padded with idle bytes to whole packets, so its last packet leaves the adapter
    // at once instead of after the latency timer.
    static constexpr std::size_t kSamplesPerPacket = 62;
    // Instructions per transfer: as many as fit whole packets of kMaxTransferBytes with the SCK
    // low after them (63: 4033 pin states in 66 packets), and no more than the pins clock out
    // between two runs of the window's message pump.
    static constexpr std::size_t kRunInstructions =
        (kMaxTransferBytes / kSamplesPerPacket * kSamplesPerPacket - 1) / kBytesPerInstruction;
    // An exchange's deadline: twice its pin time, and this for USB and the system besides.
    static constexpr std::uint32_t kDeadlineSlackMs = 200;
    // A silent enable halves SCK down to this and no further.
    static constexpr std::uint32_t kSlowestStepHz = 12000;

    // device has just entered bit-bang mode at settings' rate.
    Ft232rLink(BitBangDevice& device, const Ft232rSettings& settings, IspPort& port);

    // The job's starting pin state, written right after bit-bang mode starts: RESET released,
    // SCK and MOSI idle, as a serial port leaves them.
    LinkError start();
    // Sends what is held back and, while the adapter answers, leaves the lines as a serial port
    // leaves them: before bit-bang mode ends, after every job.
    void finish();

    Instruction enableTry() override;
    void resynchronize() override;
    Instruction exchange(const Instruction& sent, unsigned usedAnswers) override;
    void readRun(std::span<const Instruction> sent, std::span<std::uint8_t> answers) override;
    std::size_t readAhead() const override { return runInstructions_; }
    void wait(std::uint32_t ms) override;
    void releaseReset() override;
    InstructionTicket lastGiven() const override { return given_; }
    Delivery delivery(InstructionTicket ticket) const override;
    std::optional<std::uint32_t> clockHz() const override { return settings_.sckHz; }
    std::optional<ClockStep> slowDown() override;

private:
    void startStream();
    void put(bool sckHigh);
    void putInstruction(const Instruction& sent);
    // Sends the stream; samples_ then holds the pins read before each byte.
    void transfer();
    // Sends what is held back.
    void flush() { transfer(); }
    // One exchange of out_ padded to whole packets, within its deadline.
    LinkError send();
    // The lines as a serial port leaves them: RESET released, SCK and MOSI idle.
    LinkError writeIdleLines();
    // Byte j (0..3) of the answer to the instruction whose stream begins at start.
    std::uint8_t answerAt(std::size_t start, std::size_t j) const;
    void setReset(bool held, std::uint32_t waitMs);
    void failed(const LinkError& error);

    BitBangDevice& device_;
    Ft232rSettings settings_; // sckHz: the rate the adapter runs at now
    IspPort& port_;
    std::size_t runInstructions_ = 1;
    std::vector<std::uint8_t> out_;
    std::vector<std::uint8_t> samples_;
    bool sent_ = false; // out_ went out: the next byte starts a new stream
    bool resetHeld_ = false;
    bool mosi_ = true;
    bool dead_ = false; // the adapter failed or is gone: nothing more is sent
    // Instructions given; the first one held back in out_ (0: none); every one up to
    // deliveredUpTo_ went out in transfers that returned complete; those from maybeFrom_ to
    // maybeTo_ went out in the transfer that failed.
    InstructionTicket given_ = 0;
    InstructionTicket heldFrom_ = 0;
    InstructionTicket deliveredUpTo_ = 0;
    InstructionTicket maybeFrom_ = 1, maybeTo_ = 0;
};

} // namespace tessel
