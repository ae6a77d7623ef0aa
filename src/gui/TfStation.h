#pragma once

#include "app/StationWindowLayout.h"
#include "app/StationWindowModel.h"
#include "gui/LayoutWidgets.h"

#include <QDialog>
#include <QTimer>

namespace tessel {

// The station window: draws a StationWindowModel (the header, one pane per bay with its state on
// the state's colour) and forwards the buttons to it. A timer takes what the bays' workers have
// written every 50 ms. It refuses to close while a bay programs its unit.
class TfStation : public QDialog {
    Q_OBJECT
public:
    explicit TfStation(StationWindowModel& model, QWidget* parent = nullptr);

    // Brings the window in line with the model.
    void refresh();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Escape and Close go the close's way

private:
    StationWindowModel& model_;
    const WindowLayout layout_;
    LayoutWidgets widgets_;
    QTimer pump_;
};

// File > "Production Station…": a profile chosen, its window over the main window until it
// closes (with the main window's settings; simulated when the main window simulates).
void showStationWindow(AppSession& session, QWidget* parent);

// tessel --station PROFILE: the station window alone, until it closes; the command line's exit
// code for a profile that cannot be read.
ResultCode runStationWindow(const AppSession::Options& options);

} // namespace tessel
