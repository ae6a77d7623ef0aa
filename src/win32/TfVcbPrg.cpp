#include "win32/TfVcbPrg.h"

#include "app/ControlNames.h"
#include "app/WindowSet.h"
#include "support/Win32Text.h"
#include "win32/DialogWindows.h"
#include "win32/EditKeys.h"
#include "win32/TfStation.h"
#include "win32/WindowText.h"

#include <commdlg.h>
#include <shellapi.h>

#include <exception>

namespace tessel::win32 {

std::optional<std::string> openFile(HWND owner, FileChoice& choice) {
    std::wstring filters;
    for (const auto& [caption, pattern] : choice.filters)
        filters += wideFromUtf8(caption) + L'\0' + wideFromUtf8(pattern) + L'\0';
    filters += L'\0';
    const std::wstring initialFolder = wideFromUtf8(choice.folder);
    std::wstring file(32768, L'\0'); // long paths fit
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(choice.preselected + 1); // counted from 1
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = initialFolder.c_str();
    dialog.Flags =
        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    if (dialog.nFilterIndex > 0) choice.preselected = dialog.nFilterIndex - 1;
    return utf8FromWide(file.c_str());
}

TfVcbPrg::TfVcbPrg(WindowSet& windows)
    : TopWindow(mainWindowLayout(windows.advancedMode()), nullptr), windows_(windows),
      model_(windows.mainWindow()), chooseFile_(openFile) {
    // Only the product name ever takes input: Escape empties it, Enter is swallowed.
    filterEditKeys(control(controls::kProductName), std::nullopt);
    DragAcceptFiles(hwnd(), TRUE);
    connectCommands();
    refresh();
}

void TfVcbPrg::connectCommands() {
    MainWindowModel& m = model_;
    commands_ = {
        {"bReadVcb", [this] { finish(model_.readVcb()); }},
        {std::string(controls::kProgVcb), [this] { finish(model_.progVcb()); }},
        {std::string(controls::kVerifyVcb), [this] { finish(model_.verifyVcb()); }},
        {std::string(controls::kProgCode), [this] { finish(model_.progCode(chooseHexFile())); }},
        {std::string(controls::kVerifyCode),
         [this] { finish(model_.verifyCode(chooseHexFile())); }},
        {std::string(controls::kConvertToFormat1), [this] { finish(model_.convertVcb(1)); }},
        {std::string(controls::kConvertToFormat2), [this] { finish(model_.convertVcb(2)); }},
        {std::string(controls::kInitDefaultVcb), [this] { finish(model_.initDefaultVcb()); }},
        {std::string(controls::kRestoreFromBackup),
         [this] { finish(model_.restoreFromBackup(chooseBackupFile())); }},
        {"mProductionStation",
         [this] { showStationWindow(windows_.session(), hwnd(), chooseFile_); }},
        {"mExit", [this] { SendMessageW(hwnd(), WM_CLOSE, 0, 0); }},
        // The dialogs and Help windows are made after the window.
        {"mShowAdvancedControls", [this] { dialogs_->showOptions(); }},
        {std::string(controls::kTiltTempCal), [this] { dialogs_->showTiltTempCal(); }},
        {"mShowOffsetScales", [this] { dialogs_->showScales(); }},
        {"mInstructions", [this] { dialogs_->showInstructions(); }},
        {"mPrintInstructions", [this] { dialogs_->printInstructions(caption()); }},
        {"mHistory", [this] { dialogs_->showHistory(); }},
        {"mAbout", [this] { dialogs_->showAbout(); }},
    };
    for (int n = 1; n <= 4; ++n)
        commands_.emplace("mCom" + std::to_string(n), [&m, n] { m.comPortClicked(n); });
}

void TfVcbPrg::command(std::string_view control, WORD code) {
    if (control == controls::kProductName) {
        if (code == EN_CHANGE && !refreshing_)
            model_.controls().setText(controls::kProductName, textOf(this->control(control)));
        if (code == EN_SETFOCUS || code == EN_KILLFOCUS)
            InvalidateRect(this->control(control), nullptr, TRUE); // white while focused
        return;
    }
    const auto it = commands_.find(control);
    if (it != commands_.end() && code == BN_CLICKED) run(it->second); // menu items come as 0 too
}

void TfVcbPrg::run(const std::function<void()>& command) {
    if (model_.busy()) return; // one job at a time
    try {
        command();
    } catch (const std::exception& e) {
        showError(e.what());
    }
    refresh();
}

void TfVcbPrg::finish(const CommandOutcome& outcome) {
    if (outcome.message) showError(*outcome.message);
    if (outcome.field && !windows_.showField(*outcome.field)) focusField(*outcome.field);
}

void TfVcbPrg::filesDropped(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(utf8FromWide(path));
    }
    DragFinish(drop);
    if (model_.acceptsDrop(paths))
        run([this, &paths] { finish(model_.fileDropped(paths.front())); });
}

FileChoice::FileChoice(std::string in, std::span<const FileFilter> offered, std::size_t chosen)
    : folder(std::move(in)), preselected(chosen) {
    for (const FileFilter& filter : offered)
        filters.emplace_back(std::string(filter.name) + " (" + std::string(filter.pattern) + ")",
                             filter.pattern);
}

std::optional<std::string> TfVcbPrg::chooseHexFile() {
    FileChoice choice(model_.hexFolder(), kHexFileFilters, model_.hexFilter());
    auto path = chooseFile_(hwnd(), choice);
    if (path) model_.hexFilterChosen(choice.preselected);
    return path;
}

std::optional<std::string> TfVcbPrg::chooseBackupFile() {
    FileChoice choice(model_.backupFolder(), kBackupFileFilters, 0);
    return chooseFile_(hwnd(), choice);
}

void TfVcbPrg::show() {
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
}

void TfVcbPrg::refresh() {
    refreshing_ = true;
    setCaption(model_.title());
    setText(control(controls::kFormatNumber), model_.text(controls::kFormatNumber));
    setText(control(controls::kSerialNumber), model_.text(controls::kSerialNumber));
    HWND name = control(controls::kProductName);
    if (textOf(name) != model_.text(controls::kProductName))
        setText(name, model_.text(controls::kProductName));
    const bool editable = model_.advancedMode() && model_.isEnabled(controls::kProductName);
    EnableWindow(name, editable);
    SendMessageW(name, EM_SETREADONLY, !editable, 0);
    refreshing_ = false;

    for (std::string_view command :
         {controls::kProgVcb, controls::kVerifyVcb, controls::kProgCode, controls::kVerifyCode})
        EnableWindow(control(command), model_.isEnabled(command));
    for (std::string_view command : {controls::kConvertToFormat1, controls::kConvertToFormat2,
                                     controls::kInitDefaultVcb, controls::kTiltTempCal})
        controls().setMenuItem(command, model_.isEnabled(command));
    for (int n = 1; n <= 4; ++n)
        controls().setMenuItem("mCom" + std::to_string(n), model_.comEnabled(n),
                               model_.comChecked(n));
}

void TfVcbPrg::closeRequested() {
    // Nothing ends the program while a job runs: it returns first.
    if (!windows_.mayClose()) return;
    if (const auto question = windows_.exitQuestion()) {
        // No is the default: Enter keeps the window and the edits.
        const std::wstring text = wideFromUtf8(*question);
        const std::wstring title = wideFromUtf8(model_.title());
        if (MessageBoxW(hwnd(), text.c_str(), title.c_str(),
                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
            return;
    }
    DestroyWindow(hwnd());
}

LRESULT TfVcbPrg::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam) {
            windows_.mainWindowShown(); // loads the record at the first showing only
            refresh();
        }
        break;
    case WM_INITMENUPOPUP:
        if (reinterpret_cast<HMENU>(wParam) == controls().menu("mComPort"))
            run([this] { model_.comPortMenuOpened(); });
        break;
    case WM_DROPFILES: filesDropped(reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_QUERYENDSESSION: return windows_.mayClose() ? TRUE : FALSE;
    case WM_ENDSESSION:
        // The system ends the process after this: the session ends now as a close would end it.
        if (wParam) {
            windows_.session().saveSimulatedState();
            windows_.session().terminate();
        }
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
    }
    return TopWindow::handle(message, wParam, lParam);
}

} // namespace tessel::win32
