#include "link/IspInstructions.h"

#include <cstdio>
#include <utility>

namespace tessel {

namespace {

constexpr std::uint8_t kFuseLowSelect = 0xA0;
constexpr std::uint8_t kFuseHighSelect = 0xA8;
constexpr std::uint8_t kFuseExtendedSelect = 0xA4;

} // namespace

IspInstructions::IspInstructions(IspPort& port, LineSink lineSink)
    : port_(port), lineSink_(std::move(lineSink)), pageWriter_(*this) {}

std::uint8_t IspInstructions::exchangeByte(std::uint8_t value, bool answerUsed) {
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

std::array<std::uint8_t, 4> IspInstructions::instruction(std::uint8_t b1, std::uint8_t b2,
                                                         std::uint8_t b3, std::uint8_t b4,
                                                         unsigned usedAnswers) {
    const std::array<std::uint8_t, 4> sent = {b1, b2, b3, b4};
    std::array<std::uint8_t, 4> received{};
    const std::uint64_t failedBefore = port_.failedCalls();
    for (std::size_t i = 0; i < 4; ++i)
        received[i] = exchangeByte(sent[i], (usedAnswers >> i) & 1u);
    lastDelivered_ = failedBeforeEdge_ == failedBefore;
    return received;
}

ResultCode IspInstructions::programmingEnable() {
    for (int t = 1; t <= kEnableTries; ++t) {
        port_.clockLow();
        port_.dataOut0();
        port_.releaseReset();
        port_.assertReset();
        const auto echo = instruction(0xAC, 0x53, 0x00, 0x00, kEnableEcho);
        // A line call that failed during the try leaves the echo untrustworthy: try again.
        if (echo[2] == 0x53 && echo[3] == 0x00 && !port_.failed()) return result::Ok;

        port_.wait(10);
        // One extra clock pulse, to bring a slave that lost a bit back into step.
        port_.clockHigh();
        port_.clockHigh();
        port_.clockLow();
        port_.clockLow();
        if (lineSink_) {
            char line[64];
            std::snprintf(line, sizeof line, " try %d failed-echoed %02x %02x expected 53 00", t,
                          echo[2], echo[3]);
            lineSink_(line);
        }
    }
    return result::ChipNotResponding;
}

std::uint8_t IspInstructions::readSignatureByte(std::uint8_t i) {
    return instruction(0x30, 0x00, i, 0x00, kReadAnswer)[3];
}

void IspInstructions::identify() {
    for (std::uint8_t i = 0; i < 3; ++i) identity_.signature[i] = readSignatureByte(i);
    identity_.fuseLow = instruction(0x50, 0x00, 0x00, 0x00, kReadAnswer)[3];
    if (identity_.isAtmega128()) {
        identity_.fuseHigh = instruction(0x58, 0x08, 0x00, 0x00, kReadAnswer)[3];
        identity_.fuseExtended = instruction(0x50, 0x08, 0x00, 0x00, kReadAnswer)[3];
    } else {
        identity_.fuseHigh = 0;
        identity_.fuseExtended = 0;
    }
}

bool IspInstructions::fusesNeedCorrection() const {
    return identity_.isAtmega128() &&
           (identity_.fuseLow != kWantedFuseLow || identity_.fuseHigh != kWantedFuseHigh ||
            identity_.fuseExtended != kWantedFuseExtended);
}

void IspInstructions::writeFuse(std::uint8_t which, std::uint8_t value) {
    instruction(0xAC, which, 0x00, value, kNoAnswer);
    port_.wait(port_.waits().fuseWriteMs);
}

bool IspInstructions::correctFuses() {
    if (!fusesNeedCorrection()) return false;
    // All three are written even when only one differs.
    writeFuse(kFuseLowSelect, kWantedFuseLow);
    writeFuse(kFuseHighSelect, kWantedFuseHigh);
    writeFuse(kFuseExtendedSelect, kWantedFuseExtended);
    identify();
    return true;
}

void IspInstructions::chipErase() { instruction(0xAC, 0x80, 0x00, 0x00, kNoAnswer); }

std::uint8_t IspInstructions::readFlashByte(std::uint32_t byteAddress) {
    const std::uint8_t op = (byteAddress & 1) ? 0x28 : 0x20;
    return instruction(op, static_cast<std::uint8_t>((byteAddress >> 9) & 0xFF),
                       static_cast<std::uint8_t>((byteAddress >> 1) & 0xFF), 0x00, kReadAnswer)[3];
}

std::uint8_t IspInstructions::readDataByte(std::uint16_t address) {
    return instruction(0xA0, static_cast<std::uint8_t>(address >> 8),
                       static_cast<std::uint8_t>(address & 0xFF), 0x00, kReadAnswer)[3];
}

void IspInstructions::writeDataByte(std::uint16_t address, std::uint8_t value) {
    instruction(0xC0, static_cast<std::uint8_t>(address >> 8),
                static_cast<std::uint8_t>(address & 0xFF), value, kNoAnswer);
    port_.wait(port_.waits().eepromWriteMs);
}

void IspInstructions::loadPageByte(std::uint32_t byteAddress, std::uint8_t value) {
    const std::uint8_t op = (byteAddress & 1) ? 0x48 : 0x40;
    instruction(op, 0x00, static_cast<std::uint8_t>((byteAddress >> 1) & 0x7F), value, kNoAnswer);
}

void IspInstructions::writePage(std::uint16_t pageWordAddress) {
    instruction(0x4C, static_cast<std::uint8_t>(pageWordAddress >> 8),
                static_cast<std::uint8_t>(pageWordAddress & 0xFF), 0x00, kNoAnswer);
    if (lastDelivered_) ++pageWritesDelivered_;
}

void IspInstructions::awaitPageWrite(bool hasPollByte, std::uint32_t pollAddress,
                                     std::uint8_t pollValue) {
    const LinkWaits& waits = port_.waits();
    if (!port_.fast()) {
        port_.wait(waits.pageWriteMs);
        return;
    }
    // After a failed line call every sample reads 0: nothing can be polled then.
    Clock& clock = port_.clock();
    const std::uint32_t start = clock.tickMs();
    while (hasPollByte && !port_.failed()) {
        ++pollReads_;
        const std::uint8_t read = readFlashByte(pollAddress);
        if (port_.failed()) break;
        if (read == pollValue) return;
        if (static_cast<std::uint32_t>(clock.tickMs() - start) > waits.pageWriteMs) return;
        port_.wait(0); // until the tick counter moves: about a millisecond between polls
    }
    port_.wait(waits.pageWriteUnpolledMs);
}

} // namespace tessel
