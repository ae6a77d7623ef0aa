// The station window through its widgets, its bays' workers played by the test.
#include "app/StationScenes.h"
#include "gui/TfStation.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

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
    EXPECT_EQ(text("lBay1State"), "WAITING");
    EXPECT_EQ(text("lBay2State"), "RUNNING");
    EXPECT_EQ(text("lBay2Detail"), "S/N 100001   45 %");
    EXPECT_EQ(text("lBay2Step"), " Programming Light Bar Firmware Code");
    EXPECT_EQ(text("lBay3State"), "PASS");
    EXPECT_EQ(text("lBay3Detail"), "S/N 100002");
    EXPECT_EQ(text("lBay4State"), "FAIL");
    EXPECT_EQ(text("lBay4Detail"), "S/N 100003\nCode Verify Error");
    EXPECT_EQ(fill("lBay1State"), QColor());
    EXPECT_EQ(fill("lBay2State"), QColor(0, 0, 255));
    EXPECT_EQ(fill("lBay3State"), QColor(0, 128, 0));
    EXPECT_EQ(fill("lBay4State"), QColor(255, 0, 0));
    EXPECT_EQ(text("lStationCounts"), "Passed 1   Failed 1   Yield 50.0 %");
    EXPECT_EQ(text("lStationNumbersLeft"), "Serial numbers left: 1000 of 100000–100999");

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
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->text().toStdString();
            box->accept();
        }
    });
    window.close();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(told, StationWindowModel::kCloseRefused);

    for (std::size_t bay : {0u, 1u})
        model->apply(bay, {.kind = BayEvent::Kind::Unit,
                           .serialNumber = 100004,
                           .result = 23,
                           .message = "Operation Aborted"});
    window.close();
    EXPECT_FALSE(window.isVisible());
    for (const auto& sent : links->sent)
        EXPECT_EQ(sent.back(), "quit");
}

} // namespace
} // namespace tessel::testing
