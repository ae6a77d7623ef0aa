#include "app/JobWindowModel.h"

#include <algorithm>

namespace tessel {

namespace {
constexpr const char* kCaptionIndent = "                  "; // 18 blanks before the title
} // namespace

JobWindowModel::JobWindowModel(std::function<bool()> isAdvancedMode,
                               std::function<void()> processMessages,
                               std::function<void()> waitForInput)
    : isAdvancedMode_(std::move(isAdvancedMode)), processMessages_(std::move(processMessages)),
      waitForInput_(std::move(waitForInput)) {}

void JobWindowModel::changed() {
    if (onChanged_) onChanged_();
}

void JobWindowModel::showForJob(const std::string& title, bool withBlockPane) {
    caption_ = kCaptionIndent + title;
    lines_.clear();
    blockText_.clear();
    progress_ = 0;
    progressVisible_ = false;
    yesVisible_ = noVisible_ = okVisible_ = cancelVisible_ = false;

    // Without advanced mode the block stays hidden: the window closes up over its pane.
    layoutMode_ = !withBlockPane     ? JobLayoutMode::Compact
                  : isAdvancedMode_() ? JobLayoutMode::Design
                                      : JobLayoutMode::Narrow;
    visible_ = true;
    changed();
}

void JobWindowModel::appendLine(LineStyle style, const std::string& text) {
    lines_.push_back({style, text});
    changed();
}

void JobWindowModel::removeLastLine() {
    if (lines_.empty()) return;
    lines_.pop_back();
    changed();
}

void JobWindowModel::showBlock(std::string_view text) {
    blockText_ = std::string(text.substr(0, text.find('\0')));
    changed();
}

void JobWindowModel::setProgress(int percent) {
    const int clamped = std::clamp(percent, 0, 100);
    if (clamped == progress_) return;
    progress_ = clamped;
    changed();
}

void JobWindowModel::showAbortControls() {
    progressVisible_ = true;
    cancelVisible_ = true;
    changed();
}

bool JobWindowModel::take(bool& flag) {
    const bool was = flag;
    flag = false;
    return was;
}

bool JobWindowModel::aborted() { return take(cancelClicked_); }

void JobWindowModel::waitForClick(std::initializer_list<const bool*> flags) {
    const auto clicked = [&] {
        return std::any_of(flags.begin(), flags.end(), [](const bool* f) { return *f; });
    };
    // Without a toolkit to wait on no click can come: the question answers No or Cancel.
    while (!clicked() && visible_ && waitForInput_)
        waitForInput_();
}

bool JobWindowModel::askYesNo() {
    const bool okWasVisible = okVisible_;
    const bool cancelWasVisible = cancelVisible_;
    okVisible_ = cancelVisible_ = false;
    yesVisible_ = noVisible_ = true;
    changed();
    waitForClick({&yesClicked_, &noClicked_});
    const bool yes = take(yesClicked_); // Yes wins when both were clicked
    take(noClicked_);
    yesVisible_ = noVisible_ = false;
    okVisible_ = okWasVisible;
    cancelVisible_ = cancelWasVisible;
    changed();
    return yes;
}

bool JobWindowModel::askOkCancel() {
    okVisible_ = cancelVisible_ = true;
    changed();
    waitForClick({&okClicked_, &cancelClicked_});
    const bool ok = take(okClicked_);
    take(cancelClicked_);
    okVisible_ = cancelVisible_ = false;
    changed();
    return ok;
}

void JobWindowModel::waitForOk(const std::string& prompt) {
    okVisible_ = true;
    cancelVisible_ = false;
    appendLine(LineStyle::Progress, prompt);
    waitForClick({&okClicked_});
    take(okClicked_);
    removeLastLine();
    okVisible_ = false;
    changed();
}

void JobWindowModel::processMessages() {
    if (processMessages_) processMessages_();
}

void JobWindowModel::waitForInput() {
    if (waitForInput_) waitForInput_();
}

void JobWindowModel::close() {
    visible_ = false;
    changed();
}

std::optional<JobWindowModel::Button> JobWindowModel::enterButton() const {
    if (okVisible_ && !cancelVisible_ && !yesVisible_ && !noVisible_) return Button::Ok;
    return std::nullopt;
}

std::optional<JobWindowModel::Button> JobWindowModel::escapeButton() const {
    if (cancelVisible_) return Button::Cancel;
    if (noVisible_) return Button::No;
    return std::nullopt;
}

void JobWindowModel::press(std::optional<Button> button) {
    if (!button || !visible_) return;
    switch (*button) {
    case Button::Yes: setYesClicked(); break;
    case Button::No: setNoClicked(); break;
    case Button::Ok: setOkClicked(); break;
    case Button::Cancel: setCancelClicked(); break;
    }
}

void JobWindowModel::jobEnded(const JobSummary& summary) {
    using Firmware = LightBarState::Firmware;
    if (summary.restoreNeeded) errorLine(" Put it back with 'Restore from Backup…' in the File menu");
    if (summary.firmwareOr)
        errorLine(
            " The Light Bar's Firmware may have been erased: program it again with 'Prog Code'");
    else if (summary.firmware == Firmware::Erased || summary.firmware == Firmware::Incomplete)
        errorLine(" The Light Bar has no complete Firmware now: program it again with 'Prog Code'");
    else if (summary.firmware == Firmware::Programmed)
        errorLine(
            " The Light Bar's Firmware was programmed and its verify did not finish: check it "
            "with 'Verify Code'");
}

void JobWindowModel::clearClicks() { yesClicked_ = noClicked_ = okClicked_ = cancelClicked_ = false; }

} // namespace tessel
