// Renders the windows to PNG files for a look without a desktop: the main window in both modes
// and the job window in the middle of a block programming job, on a virtual light bar.
//
// Usage: render_screenshots OUTDIR   (on Qt's offscreen platform)
#include "WindowBench.h"

#include "app/StationScenes.h"
#include "app/TiltRecordBytes.h"
#include "gui/GuiMain.h"
#include "gui/InstructionsWindow.h"
#include "gui/OptionDialogWindows.h"
#include "gui/TfAboutWindow.h"
#include "gui/TfAdv.h"
#include "gui/TfHistory.h"
#include "gui/TfScales.h"
#include "gui/TfStation.h"
#include "gui/TfTiltTempCal.h"
#include "support/VersionInfo.h"

#include <QDir>

#include <cstdlib>
#include <iostream>

using namespace tessel;
using namespace tessel::testing;

namespace {
bool save(QWidget& window, const QString& path) {
    if (!window.grab().save(path)) {
        std::cerr << "render_screenshots: cannot write " << path.toStdString() << '\n';
        return false;
    }
    std::cout << path.toStdString() << '\n';
    return true;
}
// Shows a dialog without its modal loop, grabs it, hides it again.
bool saveShown(QWidget& dialog, const QString& path) {
    dialog.show();
    QApplication::processEvents();
    const bool saved = save(dialog, path);
    dialog.hide();
    return saved;
}

// The option dialogs after a technician's typical edits, the calibration acquired from the light
// bar, the instructions box, the about window, and the instructions printed to a PDF file.
bool renderDialogs(WindowBench& b, const QDir& out) {
    OptionDialogWindows& dialogs = b.session->dialogs();
    bool ok = true;
    QWidget& adv = dialogs.options();
    QTest::mouseClick(adv.findChild<QWidget*>("cbSkipTapeMinRadius"), Qt::LeftButton);
    QTest::mouseClick(adv.findChild<QWidget*>("rbTiltYes"), Qt::LeftButton);
    ok &= saveShown(adv, out.filePath("dialog-options.png"));

    QWidget& scales = dialogs.scales();
    QTest::mouseClick(scales.findChild<QPushButton*>("bLightBarDefaults"), Qt::LeftButton);
    ok &= saveShown(scales, out.filePath("dialog-scales.png"));

    putTiltRecord(b.lightBar(), 64, sampleTilt());
    QWidget& tilt = dialogs.tiltTempCal();
    QTest::mouseClick(tilt.findChild<QPushButton*>("bAcquireReadingsFromLb"), Qt::LeftButton);
    ok &= saveShown(tilt, out.filePath("dialog-tilt-temp-cal.png"));

    TfAboutWindow about(b.session->session().services().versionInfo(),
                        b.session->session().services().files().iniPath, "README.txt");
    ok &= saveShown(about, out.filePath("dialog-about.png"));

    // Drawn as it shows, and closed before the bench answers it.
    b.atShow = [&](QWidget& box) {
        if (!qobject_cast<QMessageBox*>(&box)) return;
        ok &= save(box, out.filePath("dialog-instructions.png"));
        box.close();
    };
    dialogs.showInstructions();
    b.atShow = nullptr;

    // As "Print Instructions" offers it without a printer.
    const QString pdf = out.filePath("instructions-print.pdf");
    ok &= saveInstructionsAsPdf(pdf, b.mainWindow().windowTitle(), b.session->windows().instructionsBody());
    std::cout << pdf.toStdString() << '\n';

    TfHistory history(b.session->windows().historyText());
    ok &= saveShown(history, out.filePath("dialog-history.png"));

    // Four bays: one waits, one programs, one passed its unit, one failed.
    ScriptedLinks* links = nullptr;
    const auto station = scriptedStation(links);
    TfStation window(*station);
    playFourStates(*station);
    ok &= saveShown(window, out.filePath("station-window.png"));
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    prepareApplication();
    if (argc != 2) {
        std::cerr << "usage: render_screenshots OUTDIR\n";
        return 64;
    }
    const QDir out(argv[1]);
    QDir().mkpath(out.path());
    bool ok = true;
    {
        WindowBench plain(kPlainIni);
        ok &= save(plain.mainWindow(), out.filePath("main-window-start.png"));
    }
    WindowBench b(kAdvancedIni);
    ConfigBlock unit = WindowBench::record(1, 20417);
    unit.productName = "KD-7F";
    b.putRecord(unit);
    b.click(b.button("bReadVcb"));
    ok &= save(b.mainWindow(), out.filePath("main-window-advanced.png"));

    // Another light bar on the cable: programming the block read before asks to change its
    // serial number (red), erases (green) and writes with progress and Cancel (blue).
    unit.serialNumber = 20418;
    b.putRecord(unit);
    bool grabbed = false;
    // Grabbed in the job's loop, once the job window shows all three.
    b.atJobChange = [&] {
        const JobWindowModel& job = b.session->jobModel();
        const auto shows = [&job](LineStyle style, const char* text = nullptr) {
            for (const auto& line : job.lines())
                if (line.style == style && (!text || line.text == text)) return true;
            return false;
        };
        if (!grabbed && job.progressVisible() && job.progress() >= 40 &&
            shows(LineStyle::Error) && shows(LineStyle::Success, " Light Bar is Erased")) {
            grabbed = true;
            QMetaObject::invokeMethod(&b.jobWindow(), [&] {
                ok &= save(b.jobWindow(), out.filePath("job-window-programming.png"));
                // Made larger by the operator: the panes take the room.
                b.jobWindow().resize(b.jobWindow().size() + QSize(320, 160));
                QApplication::processEvents();
                ok &= save(b.jobWindow(), out.filePath("job-window-resized.png"));
            }, Qt::QueuedConnection);
        }
    };
    b.click(b.button("bProgVcb"));
    if (!grabbed) std::cerr << "render_screenshots: the job showed no progress\n";
    ok &= renderDialogs(b, out);
    return ok && grabbed ? 0 : 1;
}
