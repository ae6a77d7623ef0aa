// The job history's appends on every platform: a line torn by a crash is never joined by the
// next one.
#include "support/SharedAppend.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

TEST(SharedAppend, ATornLastLineIsEndedBeforeTheNext) {
    TempDir dir;
    const std::string path = dir / "history.jsonl";
    EXPECT_EQ(appendWholeLine(path, "first"), std::nullopt);
    writeFile(path, readFile(path) + "{\"time\":\"2026-12-08T15:08"); // a crash mid-line
    EXPECT_EQ(appendWholeLine(path, "next"), std::nullopt);
    EXPECT_EQ(readFile(path), "first\n{\"time\":\"2026-12-08T15:08\nnext\n");
}

} // namespace
} // namespace tessel::testing
