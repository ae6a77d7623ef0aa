#include "win32/TfStation.h"

#include "support/Win32Text.h"
#include "win32/WindowText.h"

#include <commctrl.h>

namespace tessel::win32 {

namespace {

constexpr UINT_PTR kPumpTimer = 1;
constexpr const char* kHeader[] = {"lStationProfile", "lStationFirmware", "lStationNumbersLeft",
                                   "lStationCounts"};

} // namespace

TfStation::TfStation(StationWindowModel& model, HWND owner)
    : TopWindow(stationWindowLayout(model.bayCount()), owner), model_(model) {
    model_.changed = [this] { refresh(); };
    refresh();
}

TfStation::~TfStation() {
    model_.changed = nullptr;
}

HBRUSH TfStation::brushOf(Colour colour) {
    auto& brush = brushes_[colour];
    if (!brush) brush.reset(CreateSolidBrush(colorOf(colour)));
    return brush.get();
}

void TfStation::refresh() {
    setCaption(model_.caption());
    for (const char* name : kHeader)
        setText(control(name), model_.headerText(name));
    for (std::size_t i = 0; i < model_.bayCount(); ++i) {
        const StationWindowModel::BayView bay = model_.bay(i);
        setText(control(bayControl(i, "Port")), bay.port);
        HWND state = control(bayControl(i, "State"));
        setText(state, bay.state);
        InvalidateRect(state, nullptr, TRUE); // its colour follows the state
        setText(control(bayControl(i, "Detail")), withCrLf(bay.detail));
        setText(control(bayControl(i, "Step")), bay.step);
        HWND progress = control(bayControl(i, "Progress"));
        SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(bay.progress), 0);
        ShowWindow(progress, bay.running ? SW_SHOWNA : SW_HIDE);
        HWND log = control(bayControl(i, "Log"));
        if (textOf(log) != withCrLf(bay.log)) {
            setText(log, withCrLf(bay.log));
            SendMessageW(log, WM_VSCROLL, SB_BOTTOM, 0);
        }
        EnableWindow(control(bayControl(i, "Start")), bay.canStart);
        EnableWindow(control(bayControl(i, "Cancel")), bay.canCancel);
    }
}

void TfStation::run() {
    SetTimer(hwnd(), kPumpTimer, 50, nullptr);
    runModal();
    KillTimer(hwnd(), kPumpTimer);
}

LRESULT TfStation::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kPumpTimer) {
        model_.pump(0);
        return 0;
    }
    if (message == WM_CTLCOLORSTATIC) {
        const auto shown = reinterpret_cast<HWND>(lParam);
        for (std::size_t i = 0; i < model_.bayCount(); ++i) {
            const Colour colour = model_.bay(i).colour;
            if (shown != control(bayControl(i, "State")) || colour == Colour::Default) continue;
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(255, 255, 255));
            SetBkColor(dc, colorOf(colour));
            return reinterpret_cast<LRESULT>(brushOf(colour));
        }
    }
    return TopWindow::handle(message, wParam, lParam);
}

void TfStation::command(std::string_view name, WORD code) {
    if (code != BN_CLICKED) return;
    if (name == "bStartAll") model_.startAll();
    if (name == "bCancelAll") model_.cancelAll();
    if (name == "bStationClose") closeRequested();
    for (std::size_t i = 0; i < model_.bayCount(); ++i) {
        if (name == bayControl(i, "Start")) model_.start(i);
        if (name == bayControl(i, "Cancel")) model_.cancel(i);
    }
}

void TfStation::dialogKey(int id) {
    if (id == IDOK) model_.startAll();
    if (id == IDCANCEL) closeRequested();
}

void TfStation::closeRequested() {
    if (!model_.mayClose()) {
        const std::wstring text = wideFromUtf8(StationWindowModel::kCloseRefused);
        MessageBoxW(hwnd(), text.c_str(), L"Tessel", MB_OK | MB_ICONINFORMATION);
        return;
    }
    model_.shutDown();
    endModal();
}

ResultCode runStationProgram(const AppSession::Options& options) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                       ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    Outcome problem;
    const auto model = StationWindowModel::open(options, problem);
    if (!model) {
        showErrorBox(nullptr, problem.message);
        return problem.code;
    }
    TfStation window(*model, nullptr);
    model->launch();
    window.run();
    return result::Ok;
}

void showStationWindow(AppSession& session, HWND owner, const TfVcbPrg::FileChooser& choose) {
    FileChoice choice({}, kStationFileFilters, 0);
    const auto path = choose(owner, choice);
    if (!path) return;
    Outcome problem;
    const auto model =
        StationWindowModel::open(StationWindowModel::setupFor(session, *path), problem);
    if (!model) {
        showErrorBox(owner, problem.message);
        return;
    }
    TfStation window(*model, owner);
    model->launch();
    window.run();
}

} // namespace tessel::win32
