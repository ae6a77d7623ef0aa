// Renders the windows to PNG files for a look without a desktop: the main window in both modes
// and the job window in the middle of a block programming job, on a virtual light bar.
//
// Usage: render_screenshots OUTDIR   (on Qt's offscreen platform)
#include "WindowBench.h"

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
    b.atTick = [&] {
        const JobWindowModel& job = b.session->jobModel();
        const auto shows = [&job](LineStyle style) {
            for (const auto& line : job.lines())
                if (line.style == style) return true;
            return false;
        };
        if (!grabbed && job.progressVisible() && job.progress() >= 40 &&
            shows(LineStyle::Error) && shows(LineStyle::Success)) {
            grabbed = true;
            b.jobWindow().refresh();
            ok &= save(b.jobWindow(), out.filePath("job-window-programming.png"));
        }
    };
    b.click(b.button("bProgVcb"));
    if (!grabbed) std::cerr << "render_screenshots: the job showed no progress\n";
    return ok && grabbed ? 0 : 1;
}
