#pragma once

#include "app/StationWindowModel.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tessel::testing {

// Bays whose workers are played by the test: the lines the station sends them are kept, and
// what they tell the station is given to the model directly (StationWindowModel::apply).
struct ScriptedLinks final : BayLinks {
    std::vector<std::vector<std::string>> sent;
    std::optional<std::string> launch(std::size_t bay) override {
        if (sent.size() <= bay) sent.resize(bay + 1);
        return std::nullopt;
    }
    bool send(std::size_t bay, std::string_view line) override {
        sent.at(bay).emplace_back(line);
        return true;
    }
    std::vector<std::string> lines(std::size_t) override { return {}; }
    // A worker told to quit ends; one in crashed ends with its exit code.
    std::map<std::size_t, int> crashed;
    std::optional<int> ended(std::size_t bay) override {
        if (crashed.contains(bay)) return crashed[bay];
        if (bay < sent.size() && !sent[bay].empty() && sent[bay].back() == "quit") return 0;
        return std::nullopt;
    }
    void wait(int) override {}
};

// A station of four bays, its workers ready and waiting; links tells what they were sent.
inline std::unique_ptr<StationWindowModel> scriptedStation(ScriptedLinks*& links) {
    StationProfile p;
    p.firmwareFile = "KdV2.9.a90";
    p.firmwareSha256 = "628e13ca5ece1f1c221d0246a1d38ad0b151e0427cd169eb8dac244986364754";
    p.templateFile = "kd7.json";
    p.first = 100000;
    p.last = 100999;
    p.bays = {"COM1", "COM2", "/dev/ttyUSB0", "ftdi:A10K1234"};
    auto owned = std::make_unique<ScriptedLinks>();
    links = owned.get();
    auto model = std::make_unique<StationWindowModel>(
        StationWindowModel::Setup{.program = "tessel", .profilePath = "line3.station"}, p,
        std::move(owned));
    model->launch();
    for (std::size_t bay = 0; bay < 4; ++bay) {
        model->apply(bay, {.kind = BayEvent::Kind::Ready, .port = p.bays[bay]});
        model->apply(bay, {.kind = BayEvent::Kind::Waiting});
    }
    return model;
}

// The four states a bay shows: bay 1 waits, bay 2 programs its unit's firmware, bay 3 passed
// its unit, bay 4's unit failed.
inline void playFourStates(StationWindowModel& m) {
    using K = BayEvent::Kind;
    auto unitOf = [&m](std::size_t bay, std::int32_t serial, int result, const char* message) {
        m.start(bay);
        m.apply(bay, {.kind = K::Started});
        m.apply(bay, {.kind = K::Serial, .serialNumber = serial});
        for (const char* line : {" Light Bar is Erased", " Light Bar EEPROM is Restored",
                                 " Light Bar VCB Verified Ok"})
            m.apply(bay, {.kind = K::Line, .style = LineStyle::Success, .text = line});
        m.apply(bay, {.kind = K::Step, .text = " Programming Light Bar Firmware Code"});
        m.apply(bay, {.kind = K::Progress, .percent = 45});
        if (result < 0) return;
        if (result > 0)
            m.apply(bay, {.kind = K::Line,
                          .style = LineStyle::Error,
                          .text = " Verify Error @0a3c chip=ff data=0c"});
        m.apply(bay, {.kind = K::Unit,
                      .serialNumber = serial,
                      .result = static_cast<ResultCode>(result),
                      .message = message});
    };
    unitOf(1, 100001, -1, "");
    unitOf(2, 100002, 0, "Ok");
    unitOf(3, 100003, 19, "Code Verify Error");
}

// What the window shows after playFourStates: each control's text (a line break as "\n"), and
// the colour of each bay's state (none: the window's own).
struct ShownText {
    const char* control;
    const char* text;
};
inline constexpr ShownText kFourStatesShown[] = {
    {"lBay1State", "WAITING"},
    {"lBay2State", "RUNNING"},
    {"lBay2Detail", "S/N 100001   45 %"},
    {"lBay2Step", " Programming Light Bar Firmware Code"},
    {"lBay3State", "PASS"},
    {"lBay3Detail", "S/N 100002"},
    {"lBay4State", "FAIL"},
    {"lBay4Detail", "S/N 100003\nCode Verify Error"},
    {"lStationCounts", "Passed 1   Failed 1   Yield 50.0 %"},
    {"lStationNumbersLeft", "Serial numbers left: 1000 of 100000–100999"},
};
inline constexpr Colour kFourStatesColours[] = {Colour::Default, Colour::Blue, Colour::Green,
                                                Colour::Red};

} // namespace tessel::testing
