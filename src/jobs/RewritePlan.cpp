#include "jobs/RewritePlan.h"

#include "block/BlockLabels.h"
#include "block/BlockText.h"
#include "jobs/BlockView.h"
#include "link/Atmega128.h"

#include <algorithm>

namespace tessel {

namespace {

// The block area starts on a flash page.
std::size_t pageOf(std::size_t offset) { return offset / atmega128::kPageBytes; }

BlockArea toFlash(const BlockArea& area) {
    BlockArea flash;
    std::transform(area.begin(), area.end(), flash.begin(), toFlashByte);
    return flash;
}

// What a reader takes from the flash bytes: nothing when no block is found, else the block as
// this program renders its values (the form a verify compares).
std::optional<BlockArea> readingOf(const BlockArea& flash) {
    BlockArea text;
    std::transform(flash.begin(), flash.end(), text.begin(), fromFlashByte);
    if (!locateBlock(text).present) return std::nullopt;
    ConfigBlock record;
    parseBlock(text, record);
    BlockArea rendered;
    renderBlock(record, rendered);
    return rendered;
}

// The flash bytes once the block of `wanted` (and the zero byte after a format 1 block) is
// written over `base`; nothing when wanted holds no block that fits the area.
std::optional<BlockArea> targetOver(const BlockArea& base, const BlockArea& wanted) {
    const BlockLocation block = locateBlock(wanted);
    const std::size_t trailer = blockFormatOf(wanted) < 2 ? 1 : 0;
    if (!block.present || block.blockEnd() + trailer > kBlockAreaSize) return std::nullopt;
    BlockArea target = base;
    for (std::size_t i = block.title; i < block.blockEnd(); ++i) target[i] = toFlashByte(wanted[i]);
    if (trailer != 0) target[block.blockEnd()] = 0x00;
    return target;
}

void appendByPage(const std::vector<std::size_t>& offsets,
                  std::vector<RewritePlan::PageWrite>& writes) {
    for (const std::size_t offset : offsets) {
        if (writes.empty() || pageOf(writes.back().offsets.back()) != pageOf(offset))
            writes.emplace_back();
        writes.back().offsets.push_back(offset);
    }
}

struct Readings {
    std::optional<BlockArea> before; // none: the area held no block
    BlockArea after;
};

// Marks what each state reads as; false when one reads as a mix.
bool checkStates(BlockArea state, const BlockArea& target, std::vector<RewritePlan::PageWrite>& writes,
                 const Readings& readings) {
    using Reading = RewritePlan::Reading;
    bool clean = true;
    for (auto& write : writes) {
        for (const std::size_t offset : write.offsets) state[offset] = target[offset];
        const std::optional<BlockArea> reading = readingOf(state);
        write.reads = reading == readings.after    ? Reading::New
                      : reading == readings.before ? Reading::Old
                                                   : Reading::Mixed;
        clean = clean && write.reads != Reading::Mixed;
    }
    return clean;
}

// The changed bytes in three groups: those no reader sees yet (from hiddenFrom on), the switch
// page whole, then the rest; each group in address order.
std::vector<RewritePlan::PageWrite> ordered(const BlockArea& stored, const BlockArea& target,
                                            std::optional<std::size_t> switchPage,
                                            std::size_t hiddenFrom) {
    std::vector<std::size_t> hidden, switched, rest;
    for (std::size_t i = 0; i < kBlockAreaSize; ++i) {
        if (target[i] == stored[i]) continue;
        if (switchPage && pageOf(i) == *switchPage) switched.push_back(i);
        else if (i >= hiddenFrom) hidden.push_back(i);
        else rest.push_back(i);
    }
    std::vector<RewritePlan::PageWrite> writes;
    appendByPage(hidden, writes);
    appendByPage(switched, writes);
    appendByPage(rest, writes);
    return writes;
}

} // namespace

std::optional<RewritePlan> planRewrite(const BlockArea& stored, const BlockArea& wanted) {
    const BlockArea storedFlash = toFlash(stored);
    const std::optional<BlockArea> target = targetOver(storedFlash, wanted);
    if (!target) return std::nullopt;
    for (std::size_t i = 0; i < kBlockAreaSize; ++i)
        if (((*target)[i] & ~storedFlash[i]) != 0) return std::nullopt; // a bit would go to 1
    const std::optional<BlockArea> after = readingOf(*target);
    if (!after) return std::nullopt;
    const Readings readings{readingOf(storedFlash), *after};

    RewritePlan plan;
    plan.target = *target;
    const BlockLocation old = locateBlock(stored);
    plan.oldPresent = old.present;

    // The switch: a page that withdraws part of the old end marker; without one (a rewrite that
    // keeps it), any single changed page may be the one that makes the difference.
    std::vector<std::optional<std::size_t>> switchPages;
    const auto changedPagesIn = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            if ((*target)[i] != storedFlash[i] && (switchPages.empty() || switchPages.back() != pageOf(i)))
                switchPages.emplace_back(pageOf(i));
    };
    std::size_t hiddenFrom = kBlockAreaSize;
    if (old.present) {
        hiddenFrom = old.endMarker + labels::kEndMarker.size();
        changedPagesIn(old.endMarker, hiddenFrom);
        if (switchPages.empty()) changedPagesIn(0, kBlockAreaSize);
    }
    if (switchPages.empty()) switchPages.emplace_back(std::nullopt); // every page in turn

    for (const auto& page : switchPages) {
        plan.writes = ordered(storedFlash, *target, page, hiddenFrom);
        if (checkStates(storedFlash, *target, plan.writes, readings)) return plan;
    }
    plan.writes = ordered(storedFlash, *target, switchPages.front(), hiddenFrom);
    checkStates(storedFlash, *target, plan.writes, readings);
    return plan;
}

RewritePlan planWriteAfterErase(const BlockArea& wanted) {
    BlockArea erased;
    erased.fill(0xFF);
    RewritePlan plan;
    plan.target = targetOver(erased, wanted).value_or(erased);
    plan.writes = ordered(erased, plan.target, std::nullopt, kBlockAreaSize);
    const std::optional<BlockArea> after = readingOf(plan.target);
    BlockArea state = erased;
    for (auto& write : plan.writes) {
        for (const std::size_t offset : write.offsets) state[offset] = plan.target[offset];
        write.reads = after && readingOf(state) == after ? RewritePlan::Reading::New
                                                          : RewritePlan::Reading::Old;
    }
    return plan;
}

} // namespace tessel
