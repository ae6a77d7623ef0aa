#pragma once

#include "JobBench.h"

#include "jobs/FinalReport.h"
#include "support/ComPorts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tessel::testing {

// The report of a job whose cable was pulled (every line call failing) on the bench's COM1.
inline const std::string kPulledCable =
    " COMM System Error: a line call on " + defaultDevicePath(1) + " failed: Input/output error";

// Every end-to-end job test runs on a fresh bench and ends with the chip's minimum waits kept.
class JobTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(b.lightBar.timingViolations(), 0u)
            << ::testing::PrintToString(b.lightBar.violationNotes());
    }
    std::string log() const { return ::testing::PrintToString(b.window.texts()); }
    // The n log lines from the first one equal to `first` (fewer at the end of the log).
    std::vector<std::string> linesFrom(const std::string& first, std::size_t n) const {
        const auto t = b.window.texts();
        auto it = std::find(t.begin(), t.end(), first);
        const auto end = it + static_cast<std::ptrdiff_t>(
                                  std::min<std::size_t>(n, static_cast<std::size_t>(t.end() - it)));
        return {it, end};
    }
    // The report of a rewrite that failed, from its first line: what the light bar holds now and
    // its backup, which the job's summary asks the window to tell how to put back.
    std::vector<std::string> rewriteReport(const std::string& first) const {
        auto files = b.backupFiles(); // "...-eeprom.bin" sorts before "...-vcb.bin"
        std::reverse(files.begin(), files.end());
        const JobSummary summary = b.window.summary.value_or(JobSummary{});
        EXPECT_TRUE(summary.restoreNeeded);
        EXPECT_EQ(summary.backupFiles, files);
        return {first, " Its VCB was saved to " + (files.empty() ? std::string("?") : files.front())};
    }

    JobBench b;
};

} // namespace tessel::testing
