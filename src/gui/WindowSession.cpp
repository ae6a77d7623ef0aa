#include "gui/WindowSession.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QSessionManager>

namespace tessel {

WindowSet::MessagePump qtMessagePump() {
    return {[] { QCoreApplication::processEvents(); },
            // A question waits for the next input without using the processor.
            [] { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); }};
}

WindowSession::WindowSession(std::unique_ptr<WindowSet> windows)
    : windows_(std::move(windows)), mainWindow_(std::make_unique<TfVcbPrg>(*windows_)),
      jobWindow_(std::make_unique<TfProgramChip>(windows_->jobWindow())),
      dialogs_(std::make_unique<OptionDialogWindows>(*windows_, mainWindow_.get())) {
    mainWindow_->setDialogs(dialogs_.get());
    windows_->attachViews({[this] { mainWindow_->refresh(); }, [this] { jobWindow_->refresh(); }});
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, mainWindow_.get(),
                     [this](QSessionManager& manager) {
                         if (!windows_->mayClose()) manager.cancel();
                     });
}

WindowSession::~WindowSession() { windows_->attachViews({}); }

} // namespace tessel
