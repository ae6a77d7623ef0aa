#include "gui/TfStation.h"

#include "gui/FileFilters.h"
#include "gui/GuiMain.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>

namespace tessel {

namespace {

// A state's letters: white on its colour, or the window's own look while it waits.
void paintState(QLabel* label, Colour colour) {
    QPalette p = label->palette();
    if (colour == Colour::Default) {
        p = QPalette();
    } else {
        const Rgb rgb = rgbOf(colour);
        p.setColor(QPalette::Window, QColor(rgb.red, rgb.green, rgb.blue));
        p.setColor(QPalette::WindowText, Qt::white);
    }
    label->setPalette(p);
    label->setAutoFillBackground(colour != Colour::Default);
}

} // namespace

TfStation::TfStation(StationWindowModel& model, QWidget* parent)
    : QDialog(parent), model_(model), layout_(stationWindowLayout(model.bayCount())),
      widgets_(layout_, this) {
    applyWindowLayout(this, layout_);
    setWindowFlag(Qt::WindowMinimizeButtonHint);
    setFixedSize(layout_.clientWidth, layout_.clientHeight);
    connect(widgets_.get<QPushButton>("bStartAll"), &QPushButton::clicked, this,
            [this] { model_.startAll(); });
    connect(widgets_.get<QPushButton>("bCancelAll"), &QPushButton::clicked, this,
            [this] { model_.cancelAll(); });
    connect(widgets_.get<QPushButton>("bStationClose"), &QPushButton::clicked, this,
            &QWidget::close);
    for (std::size_t i = 0; i < model_.bayCount(); ++i) {
        widgets_.get<QLabel>(bayControl(i, "Detail"))->setWordWrap(true);
        connect(widgets_.get<QPushButton>(bayControl(i, "Start")), &QPushButton::clicked, this,
                [this, i] { model_.start(i); });
        connect(widgets_.get<QPushButton>(bayControl(i, "Cancel")), &QPushButton::clicked, this,
                [this, i] { model_.cancel(i); });
    }
    model_.changed = [this] { refresh(); };
    connect(&pump_, &QTimer::timeout, this, [this] { model_.pump(0); });
    pump_.start(50);
    refresh();
}

void TfStation::refresh() {
    setWindowTitle(qText(model_.caption()));
    for (const char* name :
         {"lStationProfile", "lStationFirmware", "lStationNumbersLeft", "lStationCounts"})
        widgets_.get<QLabel>(name)->setText(qText(model_.headerText(name)));
    for (std::size_t i = 0; i < model_.bayCount(); ++i) {
        const StationWindowModel::BayView bay = model_.bay(i);
        widgets_.get<QLabel>(bayControl(i, "Port"))->setText(qText(bay.port));
        auto* state = widgets_.get<QLabel>(bayControl(i, "State"));
        state->setText(qText(bay.state));
        paintState(state, bay.colour);
        widgets_.get<QLabel>(bayControl(i, "Detail"))->setText(qText(bay.detail));
        widgets_.get<QLabel>(bayControl(i, "Step"))->setText(qText(bay.step));
        auto* progress = widgets_.get<QProgressBar>(bayControl(i, "Progress"));
        progress->setValue(bay.progress);
        progress->setVisible(bay.running);
        auto* log = widgets_.get<QTextEdit>(bayControl(i, "Log"));
        if (log->toPlainText() != qText(bay.log)) {
            log->setPlainText(qText(bay.log));
            log->verticalScrollBar()->setValue(log->verticalScrollBar()->maximum());
        }
        widgets_.widget(bayControl(i, "Start"))->setEnabled(bay.canStart);
        widgets_.widget(bayControl(i, "Cancel"))->setEnabled(bay.canCancel);
    }
}

void TfStation::closeEvent(QCloseEvent* event) {
    if (!model_.mayClose()) {
        QMessageBox::information(this, "Tessel", StationWindowModel::kCloseRefused);
        event->ignore();
        return;
    }
    pump_.stop();
    model_.shutDown();
    event->accept();
}

void TfStation::reject() {
    close();
}

namespace {

bool openFailed(const std::unique_ptr<StationWindowModel>& model, const Outcome& problem,
                QWidget* parent) {
    if (model) return false;
    QMessageBox box(QMessageBox::Critical, "Tessel", qText(problem.message), QMessageBox::Ok,
                    parent);
    box.setObjectName("startupErrorBox");
    box.exec();
    return true;
}

} // namespace

void showStationWindow(AppSession& session, QWidget* parent) {
    const QString filters = nameFilters(kStationFileFilters).join(";;");
    const QString path =
        QFileDialog::getOpenFileName(parent, "Production Station", QString(), filters);
    if (path.isEmpty()) return;
    Outcome problem;
    const auto model = StationWindowModel::open(
        StationWindowModel::setupFor(session, path.toStdString()), problem);
    if (openFailed(model, problem, parent)) return;
    TfStation window(*model, parent);
    model->launch();
    window.exec();
}

ResultCode runStationWindow(const AppSession::Options& options) {
    Outcome problem;
    const auto model = StationWindowModel::open(options, problem);
    if (openFailed(model, problem, nullptr)) return problem.code;
    TfStation window(*model);
    model->launch();
    window.exec();
    return result::Ok;
}

} // namespace tessel
