#pragma once

#include <string>
#include <utility>
#include <vector>

#include "jobs/JobWindow.h"

namespace tessel {

// A job window that only keeps the lines written to it.
class RecordingWindow final : public JobWindow {
public:
    std::vector<std::pair<LineStyle, std::string>> lines;

    void showForJob(const std::string&, bool) override {}
    void appendLine(LineStyle style, const std::string& text) override { lines.emplace_back(style, text); }
    void removeLastLine() override {
        if (!lines.empty()) lines.pop_back();
    }
    void showBlock(std::string_view) override {}
    void setProgress(int) override {}
    void showAbortControls() override {}
    bool aborted() override { return false; }
    bool askYesNo() override { return true; }
    bool askOkCancel() override { return true; }
    void waitForOk(const std::string&) override {}
    void processMessages() override {}
    void close() override {}
};

} // namespace tessel
