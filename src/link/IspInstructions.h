#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/DeviceIdentity.h"
#include "link/IspPort.h"
#include "link/PageWriter.h"

namespace tessel {

// The ATmega128's four-byte serial programming instructions, sent over the open port's link (the
// serial lines bit by bit, or a USB adapter's pin streams), and the procedures the jobs build on
// them. After a failed line operation (see IspPort) every answer reads 00.
//
// On a link that gathers reads (readAhead() above 1) a read of flash or data memory fetches the
// bytes after it in the same transfer and answers the next reads from them, until an instruction
// that changes the chip (a load, a write, an erase) or the next programming enable.
class IspInstructions {
public:
    static constexpr int kEnableTries = 8;

    // Where the instructions report a line for the operator (the "try" lines of a failed
    // enable); the engine writes them to the job window. Empty: the lines go nowhere.
    using LineSink = std::function<void(const std::string&)>;

    explicit IspInstructions(IspPort& port, LineSink lineSink = {});

    IspPort& port() { return port_; }

    // Sends one byte over the serial lines, most significant bit first, and returns the byte
    // received meanwhile. On the fast link a byte whose answer is not used is not sampled and
    // reads 00.
    std::uint8_t exchangeByte(std::uint8_t value, bool answerUsed = true) {
        return port_.serialLink().exchangeByte(value, answerUsed);
    }
    // Which received bytes of an instruction its caller uses: bit i for byte i + 1.
    static constexpr unsigned kAllAnswers = 0xF;
    static constexpr unsigned kEnableEcho = 0xC; // bytes 3 and 4
    static constexpr unsigned kReadAnswer = 0x8; // byte 4
    static constexpr unsigned kNoAnswer = 0x0;
    // One instruction: four bytes out, the four bytes received back.
    Instruction instruction(const Instruction& sent, unsigned usedAnswers = kAllAnswers);
    // The last instruction given that changes the chip (an erase, a page write, a data memory
    // or fuse write), and what became of an instruction: asked once the wait after it is over,
    // when the link knows (see IspLink::delivery()).
    InstructionTicket lastChange() const { return lastChange_; }
    Delivery delivery(InstructionTicket ticket) const { return port_.link().delivery(ticket); }

    // Up to eight reset pulses with the enable instruction: Ok, or ChipNotResponding after
    // eight tries that were not echoed; a link with a clock of its own halves it after each,
    // down to its floor, and says so. A line call or transfer that fails ends it at once with
    // CommSystemError (its reason is the port's failure()). The caller stores it.
    ResultCode programmingEnable();
    // Reads the signature, then the fuses (high and extended only from an ATmega128).
    void identify();
    const DeviceIdentity& identity() const { return identity_; }
    // An ATmega128 whose fuses are not exactly the light bar's (atmega128::kLightBarFuses).
    bool fusesNeedCorrection() const;
    // Writes the light bar's three fuse bytes (150 ms each) and identifies again. Returns
    // whether it wrote.
    bool correctFuses();
    // The single erase instruction; the caller then waits with waitAfterErase().
    void chipErase();
    // 150 ms; the fast link waits tWD_ERASE with its margin.
    void waitAfterErase() { port_.link().wait(port_.waits().chipEraseMs); }

    std::uint8_t readFlashByte(std::uint32_t byteAddress);
    std::uint8_t readDataByte(std::uint16_t address);
    // Writes one data memory byte (atmega128::writeEeprom) and waits tWD_EEPROM.
    void writeDataByte(std::uint16_t address, std::uint8_t value);
    // The page writer: bytes in increasing address order, then finish after the last one.
    void writeFlashByte(std::uint32_t byteAddress, std::uint8_t value) {
        pageWriter_.writeByte(byteAddress, value);
    }
    void finishPageWriting() { pageWriter_.finish(); }
    // Forgets a partly loaded page without writing it (a job that stops half-way).
    void resetPageWriter() { pageWriter_.reset(); }

    // Single instructions of the page writer.
    void loadPageByte(std::uint32_t byteAddress, std::uint8_t value);
    void writePage(std::uint16_t pageWordAddress);
    // After a page write: the specified link waits 50 ms. The fast link polls pollAddress, a byte
    // of the page loaded with pollValue (not 0xFF): the chip answers 0xFF from the page until it
    // has written it, then the value written. The polling ends after 50 ms at the latest; a page
    // that offers no byte to poll (hasPollByte false) waits tWD_FLASH with its margin.
    void awaitPageWrite(bool hasPollByte, std::uint32_t pollAddress, std::uint8_t pollValue);
    // Poll reads made since the port's engine started (fast link only).
    std::uint64_t pollReads() const { return pollReads_; }

private:
    // An instruction that reads a byte: its answer.
    std::uint8_t read(const Instruction& sent);
    void writeFuse(std::uint8_t which, std::uint8_t value);
    // A read of memory op (atmega128::kReadFlashLow or kReadEeprom) at address, from the bytes read ahead.
    std::uint8_t readAhead(std::uint8_t op, std::uint32_t address, std::uint32_t end);
    std::uint8_t readFlashOnce(std::uint32_t byteAddress);

    // Reads gathered in one transfer: memory op, first address, the answers.
    struct ReadAhead {
        std::uint8_t op = 0;
        std::uint32_t first = 0;
        std::vector<std::uint8_t> bytes;
    };

    IspPort& port_;
    LineSink lineSink_;
    DeviceIdentity identity_;
    PageWriter pageWriter_;
    ReadAhead ahead_;
    std::uint64_t pollReads_ = 0;
    InstructionTicket lastChange_ = 0;
};

} // namespace tessel
