#include "cli/Json.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(Json, ReadsARecordShapedDocumentAndWritesItInItsLayout) {
    const Json doc =
        parseJson(R"({"format": 2, "serialNumber": -314159, "name": "K\u00e9\ud83d\ude00",
        "tapeMinRadius": 3.048, "gain": 3.0, "skip": true, "rows": [[10, 20], [0, 0]],
        "none": null, "empty": {}, "text": "a\"b\\c\n\u0001"})");
    EXPECT_TRUE(doc.at("serialNumber").is_number_integer());
    EXPECT_FALSE(doc.at("tapeMinRadius").is_number_integer());
    EXPECT_EQ(writeJson(doc), "{\n  \"format\": 2,\n  \"serialNumber\": -314159,\n"
                              "  \"name\": \"K\xC3\xA9\xF0\x9F\x98\x80\",\n"
                              "  \"tapeMinRadius\": 3.048,\n  \"gain\": 3,\n  \"skip\": true,\n"
                              "  \"rows\": [\n    [10, 20],\n    [0, 0]\n  ],\n  \"none\": null,\n"
                              "  \"empty\": {},\n  \"text\": \"a\\\"b\\\\c\\n\\u0001\"\n}");
    EXPECT_EQ(writeJson(Json(0.1)), "0.1");
    EXPECT_EQ(writeJson(Json(1e300)), "1e+300");
}

TEST(Json, StrictInputIsRefusedNamingThePositionOrTheKey) {
    for (const auto& [text, where] : std::vector<std::pair<std::string, std::string>>{
             {"01", "line 1, column 2"},
             {"[1.]", "line 1, column 4"},
             {"[1,]", "line 1, column 4"},
             {"{\"a\": 1,\n}", "line 2, column 1"},
             {"{\"a\" 1}", "line 1, column 6"},
             {"{\"a\": 1, \"b\": {\"c\": 1, \"c\": 2}}", "key \"b.c\" is given twice"},
             {"[{\"a\": 1}, {\"a\": 2, \"a\": 3}]", "key \"a\" is given twice"},
             {"\"caf\xC3\"", "line 1, column 6"},
             {"\"\xFF\"", "column 2: syntax error while parsing value - invalid string: "
                          "ill-formed UTF-8 byte; last read: '\"\\xFF'"},
             {"\"\\ud800\"", "line 1, column 8"},
             {"\"\\udc00\"", "line 1, column 7"},
             {"1e400", "number overflow"},
             {std::string(10000, '['), "line 1, column 10001"},
         }) {
        try {
            parseJson(text);
            ADD_FAILURE() << text;
        } catch (const JsonError& e) {
            EXPECT_NE(std::string(e.what()).find(where), std::string::npos) << e.what();
        }
    }
}

} // namespace
} // namespace tessel
