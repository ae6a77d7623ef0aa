#include "support/VersionInfo.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(VersionInfo, TheBuiltInTableGivesNameAndVersionAndNotFoundForWhatItLacks) {
    const VersionInfo info(VersionInfo::builtIn());
    EXPECT_EQ(info.productName(), "Tessel");
    EXPECT_EQ(info.fileVersion(), "3.6");
    EXPECT_EQ(info.productVersion(), "3.6");
    EXPECT_FALSE(info.fileDescription().empty());
    EXPECT_NE(info.fileDescription(), VersionInfo::kNotFound);
    EXPECT_NE(info.companyName(), VersionInfo::kNotFound);
    EXPECT_EQ(info.legalCopyRight(), "Not Found");
    EXPECT_EQ(info.author(), "Not Found");
    EXPECT_EQ(info.status(), "Not Found");
    EXPECT_EQ(info.value("InternalName"), "Not Found") << "not one of the eight keys read";
    EXPECT_EQ(info.value("ProductName"), "Tessel");
}

TEST(VersionInfo, NoResourceReadsFalseWithSixNotFoundAndTwoEmpty) {
    VersionInfo info;
    EXPECT_FALSE(info.read(std::nullopt));
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(info.value(VersionInfo::kKeys[i]), "Not Found");
    EXPECT_EQ(info.productVersion(), "");
    EXPECT_EQ(info.status(), "");
}

TEST(VersionInfo, AnotherLanguageBlockReadsTrueWithEveryValueNotFound) {
    auto resource = VersionInfo::builtIn();
    resource.languageBlock = "040704B0";
    VersionInfo info;
    EXPECT_TRUE(info.read(resource));
    for (const auto key : VersionInfo::kKeys) EXPECT_EQ(info.value(key), "Not Found") << key;
}

} // namespace
} // namespace tessel
