// The block area mirrors flash 0x1F000..0x1FFFF; in every area the engine holds, a withdrawn
// character (a zero byte in flash) is "~".
#include "jobs/BlockSteps.h"

#include "block/BlockLabels.h"
#include "block/BlockLine.h"

#include <cstring>
#include <string>
#include <string_view>

namespace tessel {

namespace {

std::uint32_t flashAddress(std::size_t offset) {
    return kBlockAreaBase + static_cast<std::uint32_t>(offset);
}

// The text of one line from offset k up to the next CR (at most a carried line's length),
// bounded by the area.
std::string lineAt(const BlockArea& area, std::size_t k) {
    std::string text;
    while (k < area.size() && area[k] != '\r' && text.size() < kMaxCarriedLineLength)
        text += static_cast<char>(area[k++]);
    return text;
}

// Reading ends four bytes after the end marker: its CR LF and two more. An end marker met before
// a whole title has been read is no block's end.
bool readEnds(const BlockArea& area, std::size_t count) {
    const std::string_view end = labels::kEndMarker;
    return count > labels::kTitle.size() &&
           std::memcmp(area.data() + count - labels::kEndReadLength, end.data(), end.size()) == 0;
}

} // namespace

bool fitsInArea(const BlockView& view) {
    const std::size_t trailer = view.format < 2 ? 1 : 0;
    return view.present() && view.location.blockEnd() + trailer <= kBlockAreaSize;
}

void BlockSteps::readBlockArea(BlockView& view) {
    view.area.fill(0xFF);
    view.location = BlockLocation{};
    frame_.beginLongStep(" Reading Light Bar VCB");

    std::size_t count = 0;
    frame_.runLoop({.to = kBlockAreaSize, .every = 64, .total = kBlockAreaSize, .countDone = true},
                   [&](std::size_t i) {
                       view.area[i] = fromFlashByte(frame_.isp().readFlashByte(flashAddress(i)));
                       count = i + 1;
                       return readEnds(view.area, count) ? JobFrame::Next::Last
                                                         : JobFrame::Next::Byte;
                   });
    if (!frame_.endLongStep(frame_.ok() ? 100 : JobFrame::percentOf(count, kBlockAreaSize),
                            " Finished Reading Light Bar VCB"))
        return;
    frame_.noteBlockAreaRead(view.area, count); // a backup later reads only the rest
    view.locate();
    frame_.noteBlockRead(view.present() ? std::optional(view.serialNumber) : std::nullopt);
    if (!view.present()) frame_.fail(result::NoValidVcb);
}

void BlockSteps::compact(BlockView& view) {
    if (!view.present()) {
        frame_.fail(result::NoValidVcb);
        return;
    }
    compactBlock(view.area);
    view.locate();
}

void BlockSteps::showBlock(const BlockArea& area) {
    display_.area = area;
    display_.locate();
    compact(display_);
    if (!frame_.ok()) return;
    const auto* text = reinterpret_cast<const char*>(display_.area.data());
    frame_.window().showBlock(std::string_view(text, display_.location.length));
}

void BlockSteps::writePlan(const RewritePlan& plan) {
    frame_.beginLongStep(" Programming Light Bar VCB");
    IspInstructions& isp = frame_.isp();
    const LightBarState::Block unwritten = frame_.lightBarState().block;
    std::size_t total = 0;
    for (const auto& write : plan.writes)
        total += write.offsets.size();
    std::size_t page = 0, inPage = 0;
    const std::size_t done = frame_.runLoop(
        {.to = total, .every = 64, .total = total, .countDone = true}, [&](std::size_t) {
            const RewritePlan::PageWrite& write = plan.writes[page];
            const std::size_t offset = write.offsets[inPage];
            isp.writeFlashByte(flashAddress(offset), plan.target[offset]);
            if (++inPage < write.offsets.size()) return JobFrame::Next::Byte;
            const InstructionTicket earlier = isp.lastChange();
            if (frame_.ok()) isp.finishPageWriting();
            // Counted once its wait is over, when the link knows whether it reached the chip.
            if (isp.lastChange() != earlier)
                frame_.noteBlockWritten(
                    write.reads == RewritePlan::Reading::New     ? LightBarState::Block::New
                    : write.reads == RewritePlan::Reading::Mixed ? LightBarState::Block::Mixed
                                                                 : unwritten,
                    isp.delivery(isp.lastChange()));
            ++page;
            inPage = 0;
            return JobFrame::Next::Byte;
        });
    if (plan.writes.empty()) frame_.noteBlock(LightBarState::Block::New); // it reads so already
    frame_.endLongStep(JobFrame::percentOf(done, total), " Light Bar VCB is Programmed");
}

void BlockSteps::canonicalize(BlockArea& area) {
    host_.parseBlock(area);
    host_.loadIntoWindows();
    host_.renderBlock(area); // a record whose text does not fit leaves no block: refused later
}

bool BlockSteps::compareBytes(const BlockArea& lightBar, std::size_t l0,
                              const BlockArea& referenceArea, std::size_t r0, std::size_t n) {
    std::size_t lineStart = 0; // where the current line of the reference begins
    for (std::size_t k = 0; k < n; ++k) {
        const bool inArea = l0 + k < kBlockAreaSize;
        if (inArea && lightBar[l0 + k] == referenceArea[r0 + k]) {
            if (referenceArea[r0 + k] == '\n') lineStart = k + 1;
            continue;
        }
        JobWindow& window = frame_.window();
        window.removeLastLine();
        window.errorLine(" Light Bar VCB Verify error:");
        window.plainLine("<VCB> " + lineAt(referenceArea, r0 + lineStart));
        window.plainLine("< LB> " + lineAt(lightBar, l0 + lineStart));
        return false;
    }
    return true;
}

bool BlockSteps::compareTexts(const BlockView& lightBar, const BlockView& referenceView) {
    if (!compareBytes(lightBar.area, lightBar.location.title, referenceView.area,
                      referenceView.location.title, referenceView.location.length))
        return false;
    JobWindow& window = frame_.window();
    window.removeLastLine();
    if (lightBar.location.length == referenceView.location.length) {
        window.successLine(" Light Bar VCB Verified Ok");
        return true;
    }
    window.errorLine(lightBar.location.length < referenceView.location.length
                         ? " Light Bar VCB is short"
                         : " Light Bar VCB is long");
    return false;
}

bool BlockSteps::compareBlocks(BlockView& lightBar, BlockView& referenceView) {
    frame_.window().progressLine(" Verifying Light Bar VCB");
    // Both texts are brought to the form this program renders, so a block written by other
    // means compares by its values, not by its spacing. The windows end showing the reference.
    canonicalize(lightBar.area);
    canonicalize(referenceView.area);
    referenceView.locate();
    if (!referenceView.present()) frame_.fail(result::ReferenceVcbNotValid);
    lightBar.locate();
    if (!lightBar.present()) frame_.fail(result::NoValidVcb);
    if (lightBar.format != referenceView.format) frame_.fail(result::VcbFormatsDoNotMatch);
    if (!frame_.ok()) return false;
    return compareTexts(lightBar, referenceView);
}

} // namespace tessel
