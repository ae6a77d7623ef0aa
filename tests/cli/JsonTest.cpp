#include "cli/Json.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(Json, RoundTripsARecordShapedDocument) {
    const std::string text = R"({"format": 2, "serialNumber": -314159, "productName": "KD-7",
        "tapeMinRadius": 3.048, "skip": true, "rows": [[10, 20], [0, 0]], "none": null})";
    const Json doc = Json::parse(text);
    ASSERT_TRUE(doc.isObject());
    EXPECT_TRUE(doc.find("format")->isInteger());
    EXPECT_EQ(doc.find("serialNumber")->asInteger(), -314159);
    EXPECT_FALSE(doc.find("tapeMinRadius")->isInteger());
    EXPECT_DOUBLE_EQ(doc.find("tapeMinRadius")->asNumber(), 3.048);
    EXPECT_EQ(doc.find("rows")->asArray()[0].asArray()[1].asInteger(), 20);
    EXPECT_TRUE(doc.find("none")->isNull());
    EXPECT_EQ(doc.find("missing"), nullptr);

    const Json again = Json::parse(doc.dump());
    EXPECT_EQ(again.dump(), doc.dump());
    EXPECT_EQ(again.dump(false),
              R"({"format":2,"serialNumber":-314159,"productName":"KD-7","tapeMinRadius":3.048,)"
              R"("skip":true,"rows":[[10,20],[0,0]],"none":null})");
}

TEST(Json, RealsPrintInTheirShortestRoundTripForm) {
    EXPECT_EQ(Json(3.218).dump(), "3.218");
    EXPECT_EQ(Json(0.1).dump(), "0.1");
    EXPECT_EQ(Json(1e300).dump(), "1e+300");
    EXPECT_EQ(Json::parse("1e300").asNumber(), 1e300);
}

TEST(Json, StringsEscapeAndDecodeUnicode) {
    const Json s = Json::parse(R"("a\"b\\c\n\u00e9\ud83d\ude00")");
    EXPECT_EQ(s.asString(), "a\"b\\c\n\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(Json(std::string("\x01")).dump(), "\"\\u0001\"");
}

TEST(Json, MalformedInputNamesTheOffset) {
    for (const char* bad : {"", "{", "{\"a\" 1}", "[1,]", "tru", "\"open", "01x", "{\"a\":1}x",
                            "\"\\q\"", "-", "[1 2]"}) {
        EXPECT_THROW(Json::parse(bad), JsonError) << bad;
    }
    try {
        Json::parse("{\"a\": ?}");
        FAIL();
    } catch (const JsonError& e) {
        EXPECT_NE(std::string(e.what()).find("offset 6"), std::string::npos) << e.what();
    }
}

TEST(Json, DeepNestingIsRefusedNotOverflowed) {
    EXPECT_THROW(Json::parse(std::string(10000, '[')), JsonError);
}

} // namespace
} // namespace tessel
