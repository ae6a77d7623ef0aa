// The station window through its widgets, its bays' workers played by the test.
#include "ShownWindows.h"

#include "app/StationScenes.h"
#include "gui/TfStation.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

TEST(StationWindow, ShowsEachBaysStateStartsAndCancelsItsUnitAndStaysOpenWhileOneRuns) {
    ScriptedLinks* links = nullptr;
    auto model = scriptedStation(links);
    TfStation window(*model);
    window.show();
    playFourStates(*model);
    auto text = [&](const std::string& name) {
        return window.findChild<QLabel*>(QString::fromStdString(name))->text().toStdString();
    };
    auto button = [&](const std::string& name) {
        return window.findChild<QPushButton*>(QString::fromStdString(name));
    };
    auto fill = [&](const std::string& name) {
        const QLabel* label = window.findChild<QLabel*>(QString::fromStdString(name));
        return label->autoFillBackground() ? label->palette().color(QPalette::Window) : QColor();
    };
    for (const ShownText& shown : kFourStatesShown)
        EXPECT_EQ(text(shown.control), shown.text);
    for (std::size_t bay = 0; bay < 4; ++bay) {
        const Rgb rgb = rgbOf(kFourStatesColours[bay]);
        const QColor colour = kFourStatesColours[bay] == Colour::Default
                                  ? QColor()
                                  : QColor(rgb.red, rgb.green, rgb.blue);
        EXPECT_EQ(fill(bayControl(bay, "State")), colour) << bay;
    }

    EXPECT_TRUE(button("bBay1Start")->isEnabled());
    EXPECT_FALSE(button("bBay2Start")->isEnabled());
    EXPECT_TRUE(button("bBay2Cancel")->isEnabled());
    button("bBay1Start")->click();
    button("bBay2Cancel")->click();
    EXPECT_EQ(links->sent[0].back(), "start");
    EXPECT_EQ(links->sent[1].back(), "cancel");
    EXPECT_EQ(text("lBay1State"), "RUNNING");

    // Closing is refused while a bay programs its unit; the operator is told why.
    std::string told;
    {
        const ShownWindows answer([&](QWidget& shown) {
            if (auto* box = qobject_cast<QMessageBox*>(&shown)) {
                told = box->text().toStdString();
                box->accept();
            }
        });
        window.close();
    }
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(told, StationWindowModel::kCloseRefused);

    for (std::size_t bay : {0u, 1u})
        model->apply(bay, {.kind = BayEvent::Kind::Unit,
                           .serialNumber = 100004,
                           .result = result::OperationAborted,
                           .message = "Operation Aborted"});
    window.close();
    EXPECT_FALSE(window.isVisible());
    for (const auto& sent : links->sent)
        EXPECT_EQ(sent.back(), "quit");
}

} // namespace
} // namespace tessel::testing
