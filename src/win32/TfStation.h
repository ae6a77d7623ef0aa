#pragma once

#include "app/StationWindowLayout.h"
#include "app/StationWindowModel.h"
#include "win32/Gdi.h"
#include "win32/TfVcbPrg.h"
#include "win32/TopWindow.h"

#include <map>

namespace tessel::win32 {

// The station window: draws a StationWindowModel (the header, one pane per bay with its state in
// white on the state's colour) and forwards the buttons to it; Enter starts every waiting bay,
// Escape closes. A timer takes what the bays' workers have written every 50 ms. It refuses to
// close while a bay programs its unit.
class TfStation : public TopWindow {
public:
    TfStation(StationWindowModel& model, HWND owner);
    ~TfStation() override;

    // Brings the window in line with the model.
    void refresh();
    // Shows the window modally until it closes.
    void run();

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void command(std::string_view control, WORD code) override;
    void dialogKey(int id) override;
    void closeRequested() override;

private:
    HBRUSH brushOf(Colour colour);

    StationWindowModel& model_;
    std::map<Colour, Gdi<HBRUSH>> brushes_;
};

// tessel --station PROFILE: the station window alone until it closes; the command line's exit
// code for a profile that cannot be read.
ResultCode runStationProgram(const AppSession::Options& options);
// File > "Production Station…": a profile chosen, its window over the main window.
void showStationWindow(AppSession& session, HWND owner, const TfVcbPrg::FileChooser& choose);

} // namespace tessel::win32
