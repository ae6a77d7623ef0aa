#include "link/IspInstructions.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace tessel {

namespace chip = atmega128;

IspInstructions::IspInstructions(IspPort& port, LineSink lineSink)
    : port_(port), lineSink_(std::move(lineSink)), pageWriter_(*this) {}

Instruction IspInstructions::instruction(const Instruction& sent, unsigned usedAnswers) {
    // An instruction whose answer is not used changes the chip (loads, writes, erase, fuses):
    // the bytes read ahead no longer stand.
    if (usedAnswers == kNoAnswer) ahead_.bytes.clear();
    return port_.link().exchange(sent, usedAnswers);
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
        if (echo[2] == chip::kEnableConfirm && echo[3] == 0x00) {
            port_.noteEnabled();
            return result::Ok;
        }
        link.resynchronize();
        char line[64];
        std::snprintf(line, sizeof line, " try %d failed-echoed %02x %02x expected %02x 00", t,
                      echo[2], echo[3], chip::kEnableConfirm);
        say(line);
        // A cable that cannot carry the clock gets a slower one.
        if (const auto step = link.slowDown())
            say(" no answer at " + Ft232rSettings::rateText(step->fromHz) + ": trying " +
                Ft232rSettings::rateText(step->toHz));
        if (port_.failed()) return result::CommSystemError;
    }
    return result::ChipNotResponding;
}

std::uint8_t IspInstructions::read(const Instruction& sent) {
    return instruction(sent, kReadAnswer)[3];
}

void IspInstructions::identify() {
    for (std::uint8_t i = 0; i < 3; ++i) identity_.signature[i] = read(chip::readSignature(i));
    identity_.fuseLow = read(chip::readFuseLow());
    if (identity_.isAtmega128()) {
        identity_.fuseHigh = read(chip::readFuseHigh());
        identity_.fuseExtended = read(chip::readFuseExtended());
    } else {
        identity_.fuseHigh = 0;
        identity_.fuseExtended = 0;
    }
}

bool IspInstructions::fusesNeedCorrection() const {
    return identity_.isAtmega128() && !identity_.hasLightBarFuses();
}

void IspInstructions::writeFuse(std::uint8_t which, std::uint8_t value) {
    instruction(chip::writeFuse(which, value), kNoAnswer);
    lastChange_ = port_.link().lastGiven();
    port_.link().wait(port_.waits().fuseWriteMs);
}

bool IspInstructions::correctFuses() {
    if (!fusesNeedCorrection()) return false;
    // All three are written even when only one differs.
    const chip::Fuses& wanted = chip::kLightBarFuses;
    writeFuse(chip::kWriteFuseLow, wanted.low);
    writeFuse(chip::kWriteFuseHigh, wanted.high);
    writeFuse(chip::kWriteFuseExtended, wanted.extended);
    identify();
    return true;
}

void IspInstructions::chipErase() {
    instruction(chip::chipErase(), kNoAnswer);
    lastChange_ = port_.link().lastGiven();
}

namespace {

Instruction readInstruction(std::uint8_t op, std::uint32_t address) {
    return op == chip::kReadEeprom ? chip::readEeprom(address) : chip::readFlash(address);
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
    return readAhead(chip::kReadFlashLow, byteAddress, chip::kFlashBytes);
}

std::uint8_t IspInstructions::readFlashOnce(std::uint32_t byteAddress) {
    return port_.link().exchange(chip::readFlash(byteAddress), kReadAnswer)[3];
}

std::uint8_t IspInstructions::readDataByte(std::uint16_t address) {
    return readAhead(chip::kReadEeprom, address, chip::kEepromBytes);
}

void IspInstructions::writeDataByte(std::uint16_t address, std::uint8_t value) {
    instruction(chip::writeEeprom(address, value), kNoAnswer);
    lastChange_ = port_.link().lastGiven();
    port_.link().wait(port_.waits().eepromWriteMs);
}

void IspInstructions::loadPageByte(std::uint32_t byteAddress, std::uint8_t value) {
    instruction(chip::loadPage(byteAddress, value), kNoAnswer);
}

void IspInstructions::writePage(std::uint16_t pageWordAddress) {
    instruction(chip::writePage(pageWordAddress), kNoAnswer);
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
