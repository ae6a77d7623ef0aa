#include "link/PageWriter.h"

#include "link/Atmega128.h"
#include "link/IspInstructions.h"

namespace tessel {

void PageWriter::writeByte(std::uint32_t byteAddress, std::uint8_t value) {
    const int page = atmega128::pageWordAddress(byteAddress >> 1);
    const int position = static_cast<int>(byteAddress % atmega128::kPageBytes);
    if (page != currentPage_) {
        writeCurrentPageIfDirty();
        currentPage_ = page;
        nextPosition_ = 0;
        dirty_ = false;
    }
    if (value != 0xFF && !dirty_) {
        dirty_ = true;
        pollAddress_ = byteAddress;
        pollValue_ = value;
    }
    fillTo(position);
    instructions_.loadPageByte(byteAddress, value);
    nextPosition_ = position + 1;
}

void PageWriter::finish() {
    writeCurrentPageIfDirty();
    reset();
}

void PageWriter::reset() {
    currentPage_ = kNoPage;
    nextPosition_ = 0;
    dirty_ = false;
    pollValue_ = 0xFF;
}

void PageWriter::fillTo(int endPosition) {
    const auto pageByte = static_cast<std::uint32_t>(currentPage_) << 1;
    for (int p = nextPosition_; p < endPosition; ++p)
        instructions_.loadPageByte(pageByte + static_cast<std::uint32_t>(p), 0xFF);
}

void PageWriter::writeCurrentPageIfDirty() {
    if (currentPage_ == kNoPage || !dirty_) return;
    fillTo(static_cast<int>(atmega128::kPageBytes));
    instructions_.writePage(static_cast<std::uint16_t>(currentPage_));
    instructions_.awaitPageWrite(pollValue_ != 0xFF, pollAddress_, pollValue_);
}

} // namespace tessel
