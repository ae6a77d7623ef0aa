#include "support/VCA_Message.h"
#include "support/VCA_Switchboard.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(VCA_Switchboard, NamesAreRegisteredAtTheirFirstSendAndKeepTheirIndex) {
    VCA_Switchboard board;
    VCA_Message message(board, "ProgramServices", "ProgramMessage");
    VCA_Message status(board, "ProgramServices", "ProgramStatus");
    EXPECT_EQ(message.index(), -1);
    EXPECT_FALSE(message.sendText("hello")) << "nobody listens";
    EXPECT_FALSE(status.sendValue(1));
    EXPECT_FALSE(message.send());
    EXPECT_EQ(message.index(), 0);
    EXPECT_EQ(status.index(), 1);
    EXPECT_EQ(board.registry(), (std::vector<std::string>{"ProgramMessage", "ProgramStatus"}));

    status.setGroupAndName("Other", "ProgramMessage");
    EXPECT_EQ(status.index(), -1);
    status.send();
    EXPECT_EQ(status.index(), 0) << "a known name gets its old index";
}

TEST(VCA_Switchboard, ActiveSubscribersOfTheNameAreCalledInOrderAndTheirAnswersOred) {
    VCA_Switchboard board;
    std::vector<std::string> calls;
    board.subscribe("first", "Ping", [&](const VCA_Message& m) {
        calls.push_back("first:" + m.text());
        return false;
    });
    const int second = board.subscribe("second", "Ping", [&](const VCA_Message& m) {
        calls.push_back("second:" + std::to_string(m.value()));
        return true;
    });
    board.subscribe("other", "Pong", [&](const VCA_Message&) {
        calls.push_back("other");
        return true;
    });
    EXPECT_EQ(board.registry(), (std::vector<std::string>{"Ping", "Pong"}));

    VCA_Message ping(board, "Test", "Ping");
    ping.setValueAndData(5, nullptr, VCA_Message::kNoType);
    EXPECT_TRUE(ping.sendText("a"));
    EXPECT_EQ(calls, (std::vector<std::string>{"first:a", "second:5"}));
    EXPECT_EQ(ping.data(VCA_Message::kTextType), &ping.text());
    EXPECT_EQ(ping.data("int"), nullptr) << "data only under its own type name";

    calls.clear();
    board.setActive(second, false);
    EXPECT_FALSE(ping.sendText("b"));
    board.unsubscribe(second);
    board.setActive(second, true);
    EXPECT_FALSE(ping.sendText(static_cast<const char*>(nullptr)));
    EXPECT_EQ(calls, (std::vector<std::string>{"first:b", "first:"}));

    int payload = 7;
    EXPECT_FALSE(ping.sendValueAndData(3, &payload, "int"));
    EXPECT_EQ(ping.data("int"), &payload);
    EXPECT_EQ(ping.value(), 3);
}

} // namespace
} // namespace tessel
