#pragma once

#include <array>
#include <cstdint>

// The light bar's microcontroller as this program programs it, described once the way a
// programmer's part table describes a part: its memories, identity, the fuses a light bar runs
// with, the serial programming instructions and the datasheet's minimum waits. The link builds
// its instructions and waits from it, the jobs size their buffers by it, and the virtual light
// bar decodes and times the same instructions by it.
namespace tessel::atmega128 {

// --- memories ------------------------------------------------------------------------------
inline constexpr std::uint32_t kFlashBytes = 128 * 1024;
inline constexpr std::uint32_t kPageWords = 128; // a flash page, written as a whole
inline constexpr std::uint32_t kPageBytes = 2 * kPageWords;
inline constexpr std::uint32_t kEepromBytes = 4096;

// --- identity and fuses ----------------------------------------------------------------------
inline constexpr std::array<std::uint8_t, 3> kSignature = {0x1E, 0x97, 0x02};

struct Fuses {
    std::uint8_t low;
    std::uint8_t high;
    std::uint8_t extended;
};
// What every light bar runs with.
inline constexpr Fuses kLightBarFuses = {0xE0, 0xD9, 0xFD};
// What a chip leaves the factory with; its lock bits are unprogrammed (kUnlocked).
inline constexpr Fuses kFactoryFuses = {0xE1, 0x99, 0xFD};
inline constexpr std::uint8_t kUnlocked = 0xFF;
// High fuse bit 3 (EESAVE): programmed (0), the EEPROM survives a chip erase.
inline constexpr std::uint8_t kEesaveBit = 0x08;

// --- serial programming instructions -----------------------------------------------------------
// Four bytes each; the first names the instruction, for some the second tells them apart.
using Instruction = std::array<std::uint8_t, 4>;

inline constexpr std::uint8_t kProgrammingEnable = 0xAC; // AC 53 00 00: byte 3 echoes 53
inline constexpr std::uint8_t kEnableConfirm = 0x53;
// AC with a second byte: erase the chip, write a fuse byte or the lock bits.
inline constexpr std::uint8_t kWriteGroup = 0xAC;
inline constexpr std::uint8_t kChipErase = 0x80;
inline constexpr std::uint8_t kWriteFuseLow = 0xA0;
inline constexpr std::uint8_t kWriteFuseHigh = 0xA8;
inline constexpr std::uint8_t kWriteFuseExtended = 0xA4;
inline constexpr std::uint8_t kWriteLock = 0xE0;
inline constexpr std::uint8_t kReadFlashLow = 0x20; // low and high byte of a word
inline constexpr std::uint8_t kReadFlashHigh = 0x28;
inline constexpr std::uint8_t kLoadPageLow = 0x40;
inline constexpr std::uint8_t kLoadPageHigh = 0x48;
inline constexpr std::uint8_t kWritePage = 0x4C;
inline constexpr std::uint8_t kReadEeprom = 0xA0;
inline constexpr std::uint8_t kWriteEeprom = 0xC0;
inline constexpr std::uint8_t kReadSignature = 0x30;
// 50 00: the low fuse, 50 08: the extended; 58 08: the high fuse, 58 00: the lock bits.
inline constexpr std::uint8_t kReadFuseLowOrExtended = 0x50;
inline constexpr std::uint8_t kReadFuseHighOrLock = 0x58;
inline constexpr std::uint8_t kSelectFuseHighOrExtended = 0x08;

constexpr std::uint8_t byteOf(std::uint32_t value, int shift) {
    return static_cast<std::uint8_t>((value >> shift) & 0xFF);
}

// The flash word address (16 bits) of the page that holds a word.
constexpr std::uint16_t pageWordAddress(std::uint32_t wordAddress) {
    return static_cast<std::uint16_t>(wordAddress & (kFlashBytes / 2 - 1) & ~(kPageWords - 1));
}

constexpr Instruction programmingEnable() { return {kProgrammingEnable, kEnableConfirm, 0, 0}; }
constexpr Instruction chipErase() { return {kWriteGroup, kChipErase, 0, 0}; }
constexpr Instruction writeFuse(std::uint8_t which, std::uint8_t value) {
    return {kWriteGroup, which, 0, value};
}
constexpr Instruction readSignature(std::uint8_t index) { return {kReadSignature, 0, index, 0}; }
constexpr Instruction readFuseLow() { return {kReadFuseLowOrExtended, 0, 0, 0}; }
constexpr Instruction readFuseHigh() {
    return {kReadFuseHighOrLock, kSelectFuseHighOrExtended, 0, 0};
}
constexpr Instruction readFuseExtended() {
    return {kReadFuseLowOrExtended, kSelectFuseHighOrExtended, 0, 0};
}
// Flash is addressed by words; the instruction chooses the byte of the word.
constexpr Instruction readFlash(std::uint32_t byteAddress) {
    return {(byteAddress & 1) ? kReadFlashHigh : kReadFlashLow, byteOf(byteAddress, 9),
            byteOf(byteAddress, 1), 0};
}
// Into the page buffer: only the word's place in its page counts.
constexpr Instruction loadPage(std::uint32_t byteAddress, std::uint8_t value) {
    return {(byteAddress & 1) ? kLoadPageHigh : kLoadPageLow, 0,
            static_cast<std::uint8_t>((byteAddress >> 1) & (kPageWords - 1)), value};
}
constexpr Instruction writePage(std::uint16_t pageWord) {
    return {kWritePage, byteOf(pageWord, 8), byteOf(pageWord, 0), 0};
}
constexpr Instruction readEeprom(std::uint32_t address) {
    return {kReadEeprom, byteOf(address, 8), byteOf(address, 0), 0};
}
constexpr Instruction writeEeprom(std::uint32_t address, std::uint8_t value) {
    return {kWriteEeprom, byteOf(address, 8), byteOf(address, 0), value};
}

// --- the datasheet's minimum waits in serial programming, in microseconds -------------------
inline constexpr std::uint32_t kResetToEnableMicros = 20000; // RESET low to programming enable
inline constexpr std::uint32_t kFuseWriteMicros = 4500;      // tWD_FUSE
inline constexpr std::uint32_t kFlashWriteMicros = 4500;     // tWD_FLASH
inline constexpr std::uint32_t kChipEraseMicros = 9000;      // tWD_ERASE
inline constexpr std::uint32_t kEepromWriteMicros = 9000;    // tWD_EEPROM
// SCK high and low each last more than two CPU clock cycles, three from 12 MHz up.
constexpr std::uint32_t sckPhaseCycles(std::uint32_t cpuHz) { return cpuHz < 12'000'000 ? 2 : 3; }

} // namespace tessel::atmega128
