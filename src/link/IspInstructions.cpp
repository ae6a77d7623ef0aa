#include "link/IspInstructions.h"

#include <algorithm>
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

std::array<std::uint8_t, 4> IspInstructions::instruction(std::uint8_t b1, std::uint8_t b2,
                                                         std::uint8_t b3, std::uint8_t b4,
                                                         unsigned usedAnswers) {
    // An instruction whose answer is not used changes the chip (loads, writes, erase, fuses):
    // the bytes read ahead no longer stand.
    if (usedAnswers == kNoAnswer) ahead_.bytes.clear();
    return port_.link().exchange({b1, b2, b3, b4}, usedAnswers);
}

ResultCode IspInstructions::programmingEnable() {
    ahead_.bytes.clear(); // the chip may have been changed by anyone since the last job
    IspLink& link = port_.link();
    auto say = [this](const std::string& line) {
        if (lineSink_) lineSink_(line);
    };
    for (int t = 1; t <= kEnableTries; ++t) {
        const Instruction echo = link.enableTry();
        // A failed line call or transfer is no silent chip: trying again would only hide why.
        if (port_.failed()) return result::CommSystemError;
        if (echo[2] == 0x53 && echo[3] == 0x00) {
            port_.noteEnabled();
            return result::Ok;
        }
        link.resynchronize();
        char line[64];
        std::snprintf(line, sizeof line, " try %d failed-echoed %02x %02x expected 53 00", t,
                      echo[2], echo[3]);
        say(line);
        // A cable that cannot carry the clock gets a slower one.
        if (const auto step = link.slowDown())
            say(" no answer at " + Ft232rSettings::rateText(step->fromHz) + ": trying " +
                Ft232rSettings::rateText(step->toHz));
        if (port_.failed()) return result::CommSystemError;
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
    lastChange_ = port_.link().lastGiven();
    port_.link().wait(port_.waits().fuseWriteMs);
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

void IspInstructions::chipErase() {
    instruction(0xAC, 0x80, 0x00, 0x00, kNoAnswer);
    lastChange_ = port_.link().lastGiven();
}

namespace {

constexpr std::uint32_t kFlashEnd = 0x20000;
constexpr std::uint32_t kDataEnd = 0x1000;

Instruction readInstruction(std::uint8_t op, std::uint32_t address) {
    if (op == 0xA0)
        return {0xA0, static_cast<std::uint8_t>((address >> 8) & 0xFF),
                static_cast<std::uint8_t>(address & 0xFF), 0x00};
    return {static_cast<std::uint8_t>((address & 1) ? 0x28 : 0x20),
            static_cast<std::uint8_t>((address >> 9) & 0xFF),
            static_cast<std::uint8_t>((address >> 1) & 0xFF), 0x00};
}

} // namespace

std::uint8_t IspInstructions::readAhead(std::uint8_t op, std::uint32_t address, std::uint32_t end) {
    IspLink& link = port_.link();
    if (link.readAhead() <= 1 || address >= end)
        return link.exchange(readInstruction(op, address), kReadAnswer)[3];
    if (port_.failed()) return 0;
    if (ahead_.op == op && address >= ahead_.first && address - ahead_.first < ahead_.bytes.size())
        return ahead_.bytes[address - ahead_.first];
    const std::size_t n = std::min<std::size_t>(link.readAhead(), end - address);
    std::vector<Instruction> run(n);
    for (std::size_t k = 0; k < n; ++k)
        run[k] = readInstruction(op, address + static_cast<std::uint32_t>(k));
    ahead_.op = op;
    ahead_.first = address;
    ahead_.bytes.assign(n, 0);
    link.readRun(run, ahead_.bytes);
    return ahead_.bytes[0];
}

std::uint8_t IspInstructions::readFlashByte(std::uint32_t byteAddress) {
    return readAhead(0x20, byteAddress, kFlashEnd);
}

std::uint8_t IspInstructions::readFlashOnce(std::uint32_t byteAddress) {
    return port_.link().exchange(readInstruction(0x20, byteAddress), kReadAnswer)[3];
}

std::uint8_t IspInstructions::readDataByte(std::uint16_t address) {
    return readAhead(0xA0, address, kDataEnd);
}

void IspInstructions::writeDataByte(std::uint16_t address, std::uint8_t value) {
    instruction(0xC0, static_cast<std::uint8_t>(address >> 8),
                static_cast<std::uint8_t>(address & 0xFF), value, kNoAnswer);
    lastChange_ = port_.link().lastGiven();
    port_.link().wait(port_.waits().eepromWriteMs);
}

void IspInstructions::loadPageByte(std::uint32_t byteAddress, std::uint8_t value) {
    const std::uint8_t op = (byteAddress & 1) ? 0x48 : 0x40;
    instruction(op, 0x00, static_cast<std::uint8_t>((byteAddress >> 1) & 0x7F), value, kNoAnswer);
}

void IspInstructions::writePage(std::uint16_t pageWordAddress) {
    instruction(0x4C, static_cast<std::uint8_t>(pageWordAddress >> 8),
                static_cast<std::uint8_t>(pageWordAddress & 0xFF), 0x00, kNoAnswer);
    lastChange_ = port_.link().lastGiven();
}

void IspInstructions::awaitPageWrite(bool hasPollByte, std::uint32_t pollAddress,
                                     std::uint8_t pollValue) {
    const LinkWaits& waits = port_.waits();
    IspLink& link = port_.link();
    if (!port_.fast()) {
        link.wait(waits.pageWriteMs);
        return;
    }
    // After a failed line call every sample reads 0: nothing can be polled then.
    Clock& clock = port_.clock();
    const std::uint32_t start = clock.tickMs();
    while (hasPollByte && !port_.failed()) {
        ++pollReads_;
        const std::uint8_t read = readFlashOnce(pollAddress);
        if (port_.failed()) break;
        if (read == pollValue) return;
        if (static_cast<std::uint32_t>(clock.tickMs() - start) > waits.pageWriteMs) return;
        link.wait(0); // until the tick counter moves: about a millisecond between polls
    }
    link.wait(waits.pageWriteUnpolledMs);
}

} // namespace tessel
