#pragma once

#include "app/BlockTransfer.h"
#include "app/ControlValues.h"
#include "block/ConfigBlock.h"
#include "jobs/BlockHost.h"

#include <cstdint>
#include <optional>

namespace tessel {

// The main window's side of the block jobs without any window: the one record, the controls'
// values it is shown in, and advanced mode. The Qt windows bind their widgets to these controls
// and refresh them through controls().addObserver: every load into the windows (also one a job
// makes while it runs) reports its changes once. The command line and the tests use them directly.
class RecordHost final : public BlockHost {
public:
    // serialNumberDefault: the INI's "Serial Number", which a reset record carries.
    explicit RecordHost(bool advancedMode, std::int32_t serialNumberDefault = kDefaultSerialNumber);

    ConfigBlock& record() { return record_; }
    const ConfigBlock& record() const { return record_; }
    ControlValues& controls() { return controls_; }
    const ControlValues& controls() const { return controls_; }
    std::int32_t serialNumberDefault() const { return serialNumberDefault_; }

    // Reads the controls back into the record; throws ConversionError for a field that does not
    // convert (the caller shows its message and starts no job).
    void collectFromWindows();

    // Whether the windows hold edits that differ from what the last load showed (the record
    // last read, programmed or verified): a field that no longer converts counts as an edit.
    // False while the last load showed no block (its fields do not convert).
    bool windowsEdited() const;

    void parseBlock(const BlockArea& area) override;
    void loadIntoWindows() override;
    bool renderBlock(BlockArea& area) override;
    void resetToDefaultBlock() override;
    bool isAdvancedMode() const override { return advancedMode_; }

private:
    bool advancedMode_;
    std::int32_t serialNumberDefault_;
    ConfigBlock record_;
    ControlValues controls_;
    std::optional<ConfigBlock> loaded_; // the windows' contents as the last load left them
};

} // namespace tessel
