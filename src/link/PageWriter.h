#pragma once

#include <cstdint>

namespace tessel {

class IspInstructions;

// Fills the flash page buffer byte by byte and writes a page once the bytes move on to another
// page. Skipped bytes are loaded as 0xFF; a page that received nothing but 0xFF is never written,
// so erased regions cost no page-write waits. After a page write it waits, or polls the page
// (IspInstructions::awaitPageWrite).
class PageWriter {
public:
    static constexpr int kNoPage = -1;

    explicit PageWriter(IspInstructions& instructions) : instructions_(instructions) {}

    // Callers pass addresses in increasing order.
    void writeByte(std::uint32_t byteAddress, std::uint8_t value);
    // Writes the current page if it holds anything, then starts afresh.
    void finish();
    // Starts afresh without writing.
    void reset();

    int currentPage() const { return currentPage_; }
    int nextPosition() const { return nextPosition_; }
    bool dirty() const { return dirty_; }

private:
    void fillTo(int endPosition);
    void writeCurrentPageIfDirty();

    IspInstructions& instructions_;
    int currentPage_ = kNoPage; // word address of the page being filled
    int nextPosition_ = 0;      // byte position in the page the next load is expected at
    bool dirty_ = false;
    // The first byte of the page loaded with a value other than 0xFF: the fast link polls it.
    std::uint32_t pollAddress_ = 0;
    std::uint8_t pollValue_ = 0xFF;
};

} // namespace tessel
