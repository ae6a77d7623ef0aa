#include "app/RecordHost.h"

#include "block/BlockText.h"

namespace tessel {

RecordHost::RecordHost(bool advancedMode, std::int32_t serialNumberDefault)
    : advancedMode_(advancedMode), serialNumberDefault_(serialNumberDefault) {
    record_.fullReset(serialNumberDefault_);
}

void RecordHost::collectFromWindows() { tessel::collectFromWindows(record_, controls_); }

void RecordHost::parseBlock(const BlockArea& area) {
    tessel::parseBlock(area, record_, serialNumberDefault_);
}

void RecordHost::loadIntoWindows() {
    {
        const ControlValues::Batch batch(controls_); // the views hear of a load once, also mid-job
        tessel::loadIntoWindows(record_, controls_, advancedMode_).applyTo(controls_);
    }
    // Compared as collected, so that what a load shows differently (an incomplete row shown
    // empty) counts as no edit.
    loaded_.reset();
    if (record_.format != 1 && record_.format != 2) return;
    ConfigBlock shown = record_;
    try {
        tessel::collectFromWindows(shown, controls_);
        loaded_ = shown;
    } catch (const ConversionError&) {
    }
}

bool RecordHost::windowsEdited() const {
    if (!loaded_) return false;
    ConfigBlock now = record_;
    try {
        tessel::collectFromWindows(now, controls_);
    } catch (const ConversionError&) {
        return true;
    }
    return !(now == *loaded_);
}

bool RecordHost::renderBlock(BlockArea& area) { return tessel::renderBlock(record_, area); }

void RecordHost::resetToDefaultBlock() { record_.setDefaultBlock(); }

} // namespace tessel
