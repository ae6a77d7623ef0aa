#pragma once

#include "JobBench.h"

#include "jobs/ResultCode.h"

#include <gtest/gtest.h>

namespace tessel::testing {

// Every end-to-end job test runs on a fresh bench and ends with the chip's minimum waits kept.
class JobTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(b.lightBar.timingViolations(), 0u)
            << ::testing::PrintToString(b.lightBar.violationNotes());
    }
    std::string log() const { return ::testing::PrintToString(b.window.texts()); }

    JobBench b;
};

} // namespace tessel::testing
