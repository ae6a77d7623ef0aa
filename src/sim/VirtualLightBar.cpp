#include "sim/VirtualLightBar.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace tessel {

using namespace atmega128;

VirtualLightBar::VirtualLightBar(VirtualClock& clock, VirtualTiming timing)
    : clock_(clock), timing_(timing), flash_(kFlashBytes, 0xFF), eeprom_(kEepromBytes, 0xFF) {
    pageBuffer_.fill(0xFF);
}

void VirtualLightBar::eraseAll() {
    std::fill(flash_.begin(), flash_.end(), 0xFF);
    std::fill(eeprom_.begin(), eeprom_.end(), 0xFF);
    fuses_.lock = kUnlocked;
}

SerialResult VirtualLightBar::open(const std::string&, SerialHandle& handle) {
    ++counts_.opens;
    if (openError_ != 0) return SerialResult::failure(openError_);
    if (open_) return SerialResult::failure(EBUSY);
    open_ = true;
    handle = kHandle;
    return SerialResult::success();
}

ConfigureResult VirtualLightBar::configure(SerialHandle handle) {
    ++counts_.configures;
    if (!open_ || handle != kHandle) return {false, ConfigureStep::ReadState, EBADF};
    if (!configureFail_.ok) return configureFail_;
    // Like a freshly configured port: DTR and RTS dropped, no break.
    dtr_ = false;
    sck_ = true;
    mosi_ = true;
    programmingMode_ = false;
    return {};
}

void VirtualLightBar::close(SerialHandle handle) {
    ++counts_.closes;
    if (!open_ || handle != kHandle) return;
    open_ = false;
    letGo(); // hang-up on close
}

void VirtualLightBar::letGo() {
    dtr_ = false;
    sck_ = true;
    mosi_ = true;
    programmingMode_ = false;
}

SerialResult VirtualLightBar::lineCall(SerialHandle handle, std::uint64_t& counter) {
    ++counter;
    clock_.advanceMicros(timing_.lineCallMicros);
    if (failArmed_) {
        if (callsBeforeFailure_ == 0) return SerialResult::failure(EIO);
        --callsBeforeFailure_;
    }
    if (!open_ || handle != kHandle) return SerialResult::failure(EBADF);
    return SerialResult::success();
}

SerialResult VirtualLightBar::setDtr(SerialHandle handle, bool on) {
    SerialResult r = lineCall(handle, counts_.dtr);
    if (r.ok) applyReset(on);
    return r;
}

void VirtualLightBar::applyReset(bool held) {
    if (held == dtr_) return;
    dtr_ = held;
    if (held) {
        // RESET taken low (held): the serial interface starts afresh.
        if (sck_) violation("RESET asserted while SCK was high");
        startReset();
    } else {
        programmingMode_ = false;
        miso_ = 1;
    }
}

SerialResult VirtualLightBar::setRts(SerialHandle handle, bool on) {
    SerialResult r = lineCall(handle, counts_.rts);
    if (r.ok) applySck(!on, std::nullopt);
    return r;
}

void VirtualLightBar::applySck(bool high, std::optional<std::uint64_t> atNanos) {
    if (high == sck_) return;
    sck_ = high;
    if (!dtr_) return; // out of reset the pins belong to the firmware
    if (atNanos) {
        const std::uint64_t cycles = sckPhaseCycles(chipClockHz_);
        const std::uint64_t minimum = cycles * 1'000'000'000ull / chipClockHz_;
        if (*atNanos - lastPinSckEdgeNanos_ < minimum)
            violation("SCK phase " + std::to_string(*atNanos - lastPinSckEdgeNanos_) +
                      " ns, under " + std::to_string(cycles) + " cycles of " +
                      std::to_string(chipClockHz_) + " Hz");
        lastPinSckEdgeNanos_ = *atNanos;
    } else {
        const std::uint64_t now = clock_.micros();
        if (now - lastSckEdge_ < timing_.sckPhaseMicros) violation("SCK phase too short");
        lastSckEdge_ = now;
    }
    if (high)
        sckRising();
    else
        sckFalling();
}

void VirtualLightBar::drivePins(const CableLevels& levels, std::uint64_t atNanos) {
    // SCK goes low before RESET is taken, and RESET is let go before anything else moves.
    if (!levels.resetHeld) applyReset(false);
    mosi_ = levels.mosi;
    applySck(levels.sckHigh, atNanos);
    if (levels.resetHeld) applyReset(true);
}

std::uint32_t VirtualLightBar::clockFromFuses() const {
    const unsigned cksel = fuses_.low & 0x0F;
    if (cksel >= 1 && cksel <= 4) return 1'000'000u << (cksel - 1); // calibrated internal RC
    if (cksel == 9) return 32'768;                                  // low-frequency crystal
    return externalClockHz_; // external clock, external RC or crystal: the light bar's own
}

SerialResult VirtualLightBar::setBreak(SerialHandle handle, bool on) {
    SerialResult r = lineCall(handle, counts_.breaks);
    if (r.ok) mosi_ = !on;
    return r;
}

SerialResult VirtualLightBar::readRing(SerialHandle handle, bool& ringOn) {
    SerialResult r = lineCall(handle, counts_.ringReads);
    if (!r.ok) return r;
    const int level = noAnswer_ ? noAnswerLevel_ : (dtr_ ? miso_ : 1);
    ringOn = level == 0;
    return r;
}

std::string VirtualLightBar::errorText(int errorNumber) const {
    return std::generic_category().message(errorNumber);
}

void VirtualLightBar::startReset() {
    bitCount_ = 0;
    byteCount_ = 0;
    inShift_ = 0;
    outByte_ = 0;
    miso_ = 0;
    programmingMode_ = false;
    enableRefused_ = false;
    firstInstructionSinceReset_ = true;
    resetAt_ = clock_.micros();
    chipClockHz_ = clockFromFuses(); // the clock source is chosen at reset
}

void VirtualLightBar::sckRising() {
    if (bitCount_ == 0 && byteCount_ == 0) {
        const std::uint64_t now = clock_.micros();
        if (firstInstructionSinceReset_ && now - resetAt_ < timing_.resetToEnableMicros)
            violation("instruction " + std::to_string(now - resetAt_) + " us after RESET");
        // Whether this may come before ready is known only once its address is in (answer()).
        earlyMicros_ = now < busyUntil_ ? busyUntil_ - now : 0;
        firstInstructionSinceReset_ = false;
    }
    inShift_ = static_cast<std::uint8_t>((inShift_ << 1) | (mosi_ ? 1 : 0));
    if (++bitCount_ == 8) byteComplete();
}

void VirtualLightBar::sckFalling() {
    // Between bytes the falling edge presents the next byte's first bit; within one the next bit.
    miso_ = (outByte_ >> (7 - bitCount_)) & 1;
}

void VirtualLightBar::byteComplete() {
    received_[static_cast<std::size_t>(byteCount_)] = inShift_;
    bitCount_ = 0;
    inShift_ = 0;
    switch (byteCount_) {
    case 0:
        outByte_ = received_[0];
        break;
    case 1:
        // A slave out of step echoes nothing useful: a refused enable shows 00.
        enableRefused_ = !programmingMode_ && received_[0] == kProgrammingEnable &&
                         received_[1] == kEnableConfirm &&
                         failEnables_ > 0;
        if (enableRefused_) --failEnables_;
        outByte_ = enableRefused_ ? 0x00 : received_[1];
        break;
    case 2:
        outByte_ = enableRefused_ ? 0x00 : answer();
        if (earlyMicros_ != 0 && !pollsBusyPage())
            violation("instruction " + std::to_string(earlyMicros_) + " us before ready");
        break;
    default:
        execute();
        outByte_ = received_[3];
        break;
    }
    byteCount_ = (byteCount_ + 1) % 4;
}

std::uint8_t VirtualLightBar::answer() const {
    const auto [op, b2, b3, b4] = received_;
    (void)b4;
    if (!programmingMode_) return b3;
    const std::uint32_t word = (static_cast<std::uint32_t>(b2) << 8) | b3;
    // Data polling: the page being written reads 0xFF until it is done.
    if (earlyMicros_ != 0 && pollsBusyPage()) return 0xFF;
    switch (op) {
    case kReadFlashLow: return flash_[word * 2];
    case kReadFlashHigh: return flash_[word * 2 + 1];
    case kReadEeprom: return eeprom_[word % kEepromBytes];
    case kReadSignature: return (b3 & 3) < 3 ? signature_[b3 & 3] : 0xFF;
    case kReadFuseLowOrExtended:
        return b2 == kSelectFuseHighOrExtended ? fuses_.extended : fuses_.low;
    case kReadFuseHighOrLock: return b2 == kSelectFuseHighOrExtended ? fuses_.high : fuses_.lock;
    default: return b3;
    }
}

void VirtualLightBar::execute() {
    const auto [op, b2, b3, b4] = received_;
    ++counts_.instructions;
    if (logging_) log_.push_back(received_);
    if (earlyMicros_ != 0 && pollsBusyPage()) ++counts_.busyPolls;
    const std::uint64_t now = clock_.micros();
    const std::uint64_t busyBefore = busyUntil_;
    if (!programmingMode_) {
        if (op == kProgrammingEnable && b2 == kEnableConfirm && !enableRefused_)
            programmingMode_ = true;
        return;
    }
    const std::uint32_t word = (static_cast<std::uint32_t>(b2) << 8) | b3;
    switch (op) {
    case kLoadPageLow: // load page buffer, low then high byte of a word
    case kLoadPageHigh:
        pageBuffer_[(b3 & (kPageWords - 1)) * 2u + (op == kLoadPageHigh ? 1u : 0u)] = b4;
        break;
    case kWritePage: { // write page: flash bits only go from 1 to 0 without an erase
        const std::uint32_t page = pageWordAddress(word);
        for (std::size_t i = 0; i < kPageBytes; ++i) flash_[page * 2 + i] &= pageBuffer_[i];
        pageBuffer_.fill(0xFF);
        pageWrites_.push_back(static_cast<std::uint16_t>(page));
        busyUntil_ = now + timing_.flashPageWriteMicros;
        busyPage_ = static_cast<int>(page);
        break;
    }
    case kWriteEeprom:
        eeprom_[word % kEepromBytes] = b4;
        busyUntil_ = now + timing_.eepromWriteMicros;
        break;
    case kWriteGroup:
        switch (b2) {
        case kChipErase: // chip erase; EEPROM survives only with EESAVE programmed
            std::fill(flash_.begin(), flash_.end(), 0xFF);
            if ((fuses_.high & kEesaveBit) != 0) std::fill(eeprom_.begin(), eeprom_.end(), 0xFF);
            fuses_.lock = kUnlocked;
            busyUntil_ = now + timing_.chipEraseMicros;
            break;
        case kWriteFuseLow: fuses_.low = b4; busyUntil_ = now + timing_.fuseWriteMicros; break;
        case kWriteFuseHigh: fuses_.high = b4; busyUntil_ = now + timing_.fuseWriteMicros; break;
        case kWriteFuseExtended: // only the two low bits exist; the rest read 1
            fuses_.extended = static_cast<std::uint8_t>(b4 | 0xFC);
            busyUntil_ = now + timing_.fuseWriteMicros;
            break;
        case kWriteLock: // lock bits can only be programmed; an erase clears them
            fuses_.lock &= static_cast<std::uint8_t>(b4 | 0xC0);
            busyUntil_ = now + timing_.fuseWriteMicros;
            break;
        default: break;
        }
        break;
    default: break;
    }
    // Only a page write's wait can be polled; an erase or fuse write is waited out.
    if (op != kWritePage && busyUntil_ != busyBefore) busyPage_ = -1;
}

bool VirtualLightBar::pollsBusyPage() const {
    const auto [op, b2, b3, b4] = received_;
    (void)b4;
    const int page = pageWordAddress((static_cast<std::uint32_t>(b2) << 8) | b3);
    return programmingMode_ && (op == kReadFlashLow || op == kReadFlashHigh) && page == busyPage_;
}

void VirtualLightBar::violation(std::string note) { violations_.push_back(std::move(note)); }

} // namespace tessel
