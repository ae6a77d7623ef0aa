#include "gui/GuiMain.h"

#include "gui/TfStation.h"
#include "gui/WindowSession.h"

#include <QApplication>
#include <QMessageBox>

#include <clocale>

namespace tessel {

void prepareApplication() {
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Tessel");
}

ResultCode runQtProgram(int argc, char** argv, const AppSession::Options& options) {
    QApplication app(argc, argv);
    prepareApplication();
    return runWindows(options);
}

ResultCode runWindows(const AppSession::Options& options) {
    if (!options.stationProfile.empty()) return runStationWindow(options);
    WindowSet::Opened opened = WindowSet::open(options, qtMessagePump());
    if (!opened.windows) {
        QMessageBox box(QMessageBox::Critical, "Tessel",
                        QString::fromStdString(opened.outcome.message), QMessageBox::Ok);
        box.setObjectName("startupErrorBox");
        box.exec();
        return opened.outcome.code;
    }
    WindowSession session(std::move(opened.windows));
    session.mainWindow().show();
    return static_cast<ResultCode>(QApplication::exec());
}

} // namespace tessel
