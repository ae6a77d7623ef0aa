#pragma once

#include "JobBench.h"

#include "jobs/ResultCode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tessel::testing {

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
    // The report of a rewrite that failed: the light bar holds no valid block, and its backup.
    std::vector<std::string> lostBlockReport() const {
        const auto files = b.backupFiles();
        const std::string vcb = files.empty() ? std::string("?") : files.back();
        return {" The Light Bar holds no valid VCB now", " Its VCB was saved to " + vcb,
                " Put it back with: tessel program-vcb " + vcb,
                "   (after: tessel init-vcb, when the Light Bar has no VCB)"};
    }

    JobBench b;
};

} // namespace tessel::testing
