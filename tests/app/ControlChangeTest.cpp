// What a view hears of the controls: one notice per load into the windows (the call a job makes
// while it runs), one per changing set outside a load, none for a value that stays the same.
#include "app/ControlNames.h"
#include "app/RecordHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tessel {
namespace {

using Names = std::vector<std::string>;

TEST(ControlChange, ALoadReportsOnceWhatItChangedAndASetOnlyAChange) {
    RecordHost host(true);
    std::vector<Names> notices;
    const auto id =
        host.controls().addObserver([&](const Names& changed) { notices.push_back(changed); });

    host.loadIntoWindows();
    ASSERT_EQ(notices.size(), 1u);
    const Names& first = notices[0];
    for (const char* control : {"memoSerialNumber", "mVcbFormat2", "rbTiltSkip", "memoHiTempCalF"})
        EXPECT_NE(std::find(first.begin(), first.end(), control), first.end()) << control;

    host.loadIntoWindows(); // the same record again: nothing to refresh
    EXPECT_EQ(notices.size(), 1u);

    host.record().serialNumber = 4711;
    host.record().tiltCalibration.hiTempC = 1;
    host.loadIntoWindows();
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[1], (Names{"memoHiTempCalC", "memoHiTempCalF", "memoSerialNumber"}));

    host.controls().setChecked("cbSkipTapeMinRadius", false);
    host.controls().setChecked("cbSkipTapeMinRadius", false);
    host.controls().setEnabled(controls::kProgVcb, true); // enabled already
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_EQ(notices[2], (Names{"cbSkipTapeMinRadius"}));

    {
        const ControlValues::Batch outer(host.controls());
        const ControlValues::Batch inner(host.controls());
        host.controls().setText("memoProductName", "KD-9");
        host.controls().setText("memoCustomerId", "Menvo");
    }
    ASSERT_EQ(notices.size(), 4u) << "nested batches report once, at the outermost end";
    EXPECT_EQ(notices[3], (Names{"memoCustomerId", "memoProductName"}));

    host.controls().removeObserver(id);
    host.controls().setText("memoProductName", "KD-10");
    EXPECT_EQ(notices.size(), 4u);
}

} // namespace
} // namespace tessel
