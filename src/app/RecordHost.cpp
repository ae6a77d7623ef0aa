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
    const ControlValues::Batch batch(controls_); // the views hear of a load once, also mid-job
    tessel::loadIntoWindows(record_, controls_, advancedMode_).applyTo(controls_);
}

bool RecordHost::renderBlock(BlockArea& area) { return tessel::renderBlock(record_, area); }

void RecordHost::resetToDefaultBlock() { record_.setDefaultBlock(); }

} // namespace tessel
