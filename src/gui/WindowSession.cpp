#include "gui/WindowSession.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>

#include <cstdio>
#include <stdexcept>
#include <sys/stat.h>

namespace tessel {

namespace {
bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

ProgramServices& started(ProgramServices& services, const WindowOptions& options) {
    services.start(options.executablePath, options.iniPath);
    return services;
}
} // namespace

WindowSession::WindowSession(const WindowOptions& options)
    : options_(options), settings_(started(services_, options).ini()),
      iniReadOnly_(settings_.iniFileIsReadOnly()), ports_(settings_),
      virtualBar_(virtualClock_),
      host_(advancedModeFromSettings(settings_), settings_.serialNumber()),
      jobModel_([this] { return host_.isAdvancedMode(); },
                [this] {
                    repaint();
                    QCoreApplication::processEvents();
                }),
      engine_(options.simulate ? static_cast<SerialLines&>(virtualBar_) : posix_,
              options.simulate ? static_cast<Clock&>(virtualClock_) : steady_, ports_, jobModel_,
              host_) {
    if (options_.simulate && !options_.simulateFile.empty() && fileExists(options_.simulateFile) &&
        !virtualBar_.load(options_.simulateFile))
        throw std::runtime_error(options_.simulateFile + " is not a saved virtual light bar");
    model_ = std::make_unique<MainWindowModel>(engine_, host_, settings_, services_.versionInfo(),
                                               iniReadOnly_);
    mainWindow_ = std::make_unique<TfVcbPrg>(*model_);
    jobWindow_ = std::make_unique<TfProgramChip>(jobModel_);
    model_->setChangeListener([this] {
        repaint();
        if (!model_->busy()) saveVirtualLightBar();
    });
    // The desktop session may not end the program in the middle of a job.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, mainWindow_.get(),
                     [this](QSessionManager& manager) {
                         if (model_->busy()) manager.cancel();
                     });
}

WindowSession::~WindowSession() {
    saveVirtualLightBar();
    if (!iniReadOnly_) services_.terminate();
}

void WindowSession::repaint() {
    if (mainWindow_) mainWindow_->refresh();
    if (jobWindow_) jobWindow_->refresh();
}

// The light bar's state is replaced whole, so an interrupted save never leaves half of one.
void WindowSession::saveVirtualLightBar() {
    if (!options_.simulate || options_.simulateFile.empty()) return;
    const std::string temp = options_.simulateFile + ".new";
    if (virtualBar_.save(temp)) std::rename(temp.c_str(), options_.simulateFile.c_str());
    else std::remove(temp.c_str());
}

} // namespace tessel
