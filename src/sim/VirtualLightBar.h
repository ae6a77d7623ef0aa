#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/Atmega128.h"
#include "link/SerialLines.h"
#include "support/Clock.h"

namespace tessel {

// The ATmega128's minimum waits in serial programming, and the time one line call takes.
struct VirtualTiming {
    std::uint64_t lineCallMicros = 1;       // each platform call moves the clock this much
    std::uint64_t sckPhaseMicros = 1;       // SCK high and low: over two CPU cycles
    // RESET held before the first instruction, checked at half the datasheet's wait: the serial
    // link holds RESET 10 ms (LinkWaits), which its line calls lengthen only on a real port.
    std::uint64_t resetToEnableMicros = atmega128::kResetToEnableMicros / 2;
    std::uint64_t flashPageWriteMicros = atmega128::kFlashWriteMicros;
    std::uint64_t eepromWriteMicros = atmega128::kEepromWriteMicros;
    std::uint64_t chipEraseMicros = atmega128::kChipEraseMicros;
    std::uint64_t fuseWriteMicros = atmega128::kFuseWriteMicros;
};

// How often each platform call was made.
struct LineCallCounts {
    std::uint64_t opens = 0, configures = 0, closes = 0;
    std::uint64_t dtr = 0, rts = 0, breaks = 0, ringReads = 0;
    // Reads of the page being written that came before it was done (answered 0xFF).
    std::uint64_t busyPolls = 0;
    // Instructions the chip received whole, over any link.
    std::uint64_t instructions = 0;

    std::uint64_t lineCalls() const { return dtr + rts + breaks + ringReads; }
};

// The cable's lines as an adapter drives them at pin level: RESET held or not, SCK, MOSI.
struct CableLevels {
    bool resetHeld = false;
    bool sckHigh = true;
    bool mosi = true;
};

// A light bar's fuses unless a test sets others.
struct FuseBytes {
    std::uint8_t low = atmega128::kLightBarFuses.low;
    std::uint8_t high = atmega128::kLightBarFuses.high;
    std::uint8_t extended = atmega128::kLightBarFuses.extended;
    std::uint8_t lock = atmega128::kUnlocked;
};

// A light bar behind the cable: an ATmega128 serial-programming slave driven edge by edge from
// the port's lines. RESET is DTR raised, SCK is RTS dropped, MOSI is break cleared, and MISO
// comes back as the ring indicator, asserted for 0. MOSI is sampled on SCK's rising edge and MISO
// moves on its falling edge; bytes 2 and 3 echo the byte before, byte 4 answers reads.
// Every line call costs lineCallMicros on the shared clock; the chip's minimum waits are checked
// against that clock and each one missed is counted.
class VirtualLightBar final : public SerialLines {
public:
    static constexpr std::size_t kFlashBytes = atmega128::kFlashBytes;
    static constexpr std::size_t kEepromBytes = atmega128::kEepromBytes;
    static constexpr std::size_t kPageBytes = atmega128::kPageBytes;
    static constexpr FuseBytes kFactoryFuses = {atmega128::kFactoryFuses.low,
                                                 atmega128::kFactoryFuses.high,
                                                 atmega128::kFactoryFuses.extended,
                                                 atmega128::kUnlocked};

    explicit VirtualLightBar(VirtualClock& clock, VirtualTiming timing = {});

    // SerialLines: any path opens the one light bar, once at a time.
    SerialResult open(const std::string& path, SerialHandle& handle) override;
    ConfigureResult configure(SerialHandle handle) override;
    void close(SerialHandle handle) override;
    SerialResult setDtr(SerialHandle handle, bool on) override;
    SerialResult setRts(SerialHandle handle, bool on) override;
    SerialResult setBreak(SerialHandle handle, bool on) override;
    SerialResult readRing(SerialHandle handle, bool& ringOn) override;
    std::string errorText(int errorNumber) const override;

    // An adapter driving the cable at pin level (no line calls, no time of their own): the
    // levels change at atNanos, on the shared clock's scale (the clock must have reached it).
    // SCK's high and low times are checked against the datasheet's minimum for the chip clock:
    // over 2 cycles below 12 MHz, 3 from 12 MHz up.
    void drivePins(const CableLevels& levels, std::uint64_t atNanos);
    // MISO as the cable carries it now, 1 or 0.
    int misoLevel() const { return noAnswer_ ? noAnswerLevel_ : (dtr_ ? miso_ : 1); }
    // The adapter let go of the cable: RESET released, as when a port closes.
    void releasePins() { letGo(); }
    // The chip runs on the clock the low fuse's CKSEL bits chose when RESET was last asserted:
    // internal RC 1, 2, 4 or 8 MHz, a 32 kHz crystal, or the light bar's external clock or
    // crystal, which runs at externalClockHz.
    void setExternalClockHz(std::uint32_t hz) { externalClockHz_ = hz; }
    static constexpr std::uint32_t kDefaultExternalClockHz = 8'000'000;

    // The memories, to set up and inspect directly.
    std::uint8_t flashByte(std::uint32_t address) const { return flash_[address % kFlashBytes]; }
    void setFlashByte(std::uint32_t address, std::uint8_t v) { flash_[address % kFlashBytes] = v; }
    std::uint8_t eepromByte(std::uint32_t address) const { return eeprom_[address % kEepromBytes]; }
    void setEepromByte(std::uint32_t address, std::uint8_t v) { eeprom_[address % kEepromBytes] = v; }
    void eraseAll(); // flash, EEPROM and lock bits to 0xFF
    const FuseBytes& fuses() const { return fuses_; }
    void setFuses(const FuseBytes& fuses) { fuses_ = fuses; }
    const std::array<std::uint8_t, 3>& signature() const { return signature_; }
    void setSignature(const std::array<std::uint8_t, 3>& s) { signature_ = s; }

    // Fault knobs.
    // No chip answers: MISO stays at level (0 reads as RI asserted, so every byte is 00).
    void setNoAnswer(bool on, int level = 0) { noAnswer_ = on; noAnswerLevel_ = level; }
    // The next n programming-enable instructions are not echoed (as from a slave out of step).
    void failEnables(int n) { failEnables_ = n; }
    // Every line call after the next n fails with EIO (a cable pulled mid-job).
    void failLineCallsAfter(std::uint64_t n) { failArmed_ = true; callsBeforeFailure_ = n; }
    // Opening fails with this error number (0: opens normally), e.g. EBUSY for a held port.
    void failOpen(int error) { openError_ = error; }
    void failConfigure(ConfigureStep step, int error) { configureFail_ = {false, step, error}; }

    // What the chip saw.
    const std::vector<std::array<std::uint8_t, 4>>& instructions() const { return log_; }
    void clearInstructions() { log_.clear(); }
    void setLogging(bool on) { logging_ = on; }
    // Word addresses of the pages written, in order.
    const std::vector<std::uint16_t>& pageWrites() const { return pageWrites_; }
    std::uint64_t timingViolations() const { return violations_.size(); }
    const std::vector<std::string>& violationNotes() const { return violations_; }
    const LineCallCounts& counts() const { return counts_; }
    bool inReset() const { return dtr_; }
    bool programmingMode() const { return programmingMode_; }
    bool isOpen() const { return open_; }

    // The whole chip state (memories, fuses, lock, signature) to and from a file. Saving
    // replaces the file whole, so an interrupted run never leaves half of one.
    bool save(const std::string& path) const;
    bool load(const std::string& path);

private:
    static constexpr SerialHandle kHandle = 1;

    SerialResult lineCall(SerialHandle handle, std::uint64_t& counter);
    void applyReset(bool held);
    // Hang-up: DTR and RTS dropped, the break ends; the chip leaves reset and runs.
    void letGo();
    // atNanos: an adapter's pin time, checked against the chip clock; none: a line call's.
    void applySck(bool high, std::optional<std::uint64_t> atNanos);
    std::uint32_t clockFromFuses() const;
    void sckRising();
    void sckFalling();
    void byteComplete();
    std::uint8_t answer() const;
    void execute();
    void startReset();
    bool pollsBusyPage() const;
    void violation(std::string note);

    VirtualClock& clock_;
    VirtualTiming timing_;
    std::vector<std::uint8_t> flash_;
    std::vector<std::uint8_t> eeprom_;
    std::array<std::uint8_t, kPageBytes> pageBuffer_{};
    std::array<std::uint8_t, 3> signature_ = atmega128::kSignature;
    FuseBytes fuses_;

    // Lines and the serial shift state.
    bool open_ = false;
    bool dtr_ = false, sck_ = true, mosi_ = true;
    int miso_ = 1;
    int bitCount_ = 0;  // bits received of the current byte
    int byteCount_ = 0; // bytes received of the current instruction
    std::uint8_t inShift_ = 0;
    std::uint8_t outByte_ = 0;
    std::array<std::uint8_t, 4> received_{};
    bool programmingMode_ = false;
    bool enableRefused_ = false;
    bool firstInstructionSinceReset_ = false;

    // Time.
    std::uint64_t resetAt_ = 0;
    std::uint64_t lastSckEdge_ = 0;
    std::uint64_t lastPinSckEdgeNanos_ = 0;
    std::uint32_t externalClockHz_ = kDefaultExternalClockHz;
    std::uint32_t chipClockHz_ = 1'000'000;
    std::uint64_t busyUntil_ = 0;
    int busyPage_ = -1;               // word address of the page being written, or -1
    std::uint64_t earlyMicros_ = 0;   // how long before ready this instruction began

    // Knobs and observations.
    bool noAnswer_ = false;
    int noAnswerLevel_ = 0;
    int failEnables_ = 0;
    bool failArmed_ = false;
    std::uint64_t callsBeforeFailure_ = 0;
    int openError_ = 0;
    ConfigureResult configureFail_;
    bool logging_ = true;
    std::vector<std::array<std::uint8_t, 4>> log_;
    std::vector<std::uint16_t> pageWrites_;
    std::vector<std::string> violations_;
    LineCallCounts counts_;
};

} // namespace tessel
