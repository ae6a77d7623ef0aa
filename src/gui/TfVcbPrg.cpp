#include "gui/TfVcbPrg.h"

#include "app/ControlNames.h"
#include "app/WindowSet.h"
#include "gui/FieldKeys.h"
#include "gui/FileFilters.h"
#include "gui/OptionDialogWindows.h"
#include "gui/TfStation.h"
#include "gui/WindowLook.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>

#include <exception>
#include <span>

namespace tessel {

namespace {

// The local files of a drag, as UTF-8 paths.
std::vector<std::string> droppedFiles(const QMimeData* data) {
    std::vector<std::string> paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    return paths.size() == static_cast<std::size_t>(data->urls().size())
               ? paths
               : std::vector<std::string>{};
}

void setBackground(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::Base, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QWidget* makeClient(QMainWindow* window) {
    auto* client = new QWidget(window);
    client->setObjectName("client");
    window->setCentralWidget(client);
    return client;
}

} // namespace

TfVcbPrg::TfVcbPrg(WindowSet& windows, QWidget* parent)
    : QMainWindow(parent), windows_(windows), model_(windows.mainWindow()),
      layout_(mainWindowLayout(windows.advancedMode())),
      widgets_(layout_, makeClient(this), menuBar()),
      memoSerialNumber_(widgets_.get<QLineEdit>(controls::kSerialNumber)),
      memoProductName_(widgets_.get<QLineEdit>(controls::kProductName)),
      lFormatNumber_(widgets_.get<QLabel>(controls::kFormatNumber)) {
    applyWindowLayout(this, layout_);
    // The identity fields show in the button face's colour; only the product name ever takes
    // input, and turns white while it has the focus.
    for (QLineEdit* field : {memoSerialNumber_, memoProductName_}) {
        field->setEnabled(false);
        setBackground(field, field->palette().color(QPalette::Button));
    }
    memoProductName_->installEventFilter(this);
    connect(memoProductName_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.controls().setText(controls::kProductName, text.toStdString());
    });
    connectCommands();
    setAcceptDrops(true);
    setFixedSize(layout_.clientWidth, clientHeight() + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    refresh();
}

void TfVcbPrg::onClick(std::string_view control, std::function<void()> command) {
    const auto runIt = [this, command] { run(command); };
    if (layout_.row(control).kind == ControlKind::Button)
        connect(widgets_.get<QPushButton>(control), &QPushButton::clicked, this, runIt);
    else
        connect(widgets_.action(control), &QAction::triggered, this, runIt);
}

void TfVcbPrg::connectCommands() {
    MainWindowModel& m = model_;
    onClick("bReadVcb", [this] { finish(model_.readVcb()); });
    onClick(controls::kProgVcb, [this] { finish(model_.progVcb()); });
    onClick(controls::kVerifyVcb, [this] { finish(model_.verifyVcb()); });
    onClick(controls::kProgCode, [this] { finish(model_.progCode(chooseHexFile())); });
    onClick(controls::kVerifyCode, [this] { finish(model_.verifyCode(chooseHexFile())); });
    onClick(controls::kConvertToFormat1, [this] { finish(model_.convertVcb(1)); });
    onClick(controls::kConvertToFormat2, [this] { finish(model_.convertVcb(2)); });
    onClick(controls::kInitDefaultVcb, [this] { finish(model_.initDefaultVcb()); });
    onClick(controls::kRestoreFromBackup,
            [this] { finish(model_.restoreFromBackup(chooseBackupFile())); });
    onClick("mProductionStation", [this] { showStationWindow(windows_.session(), this); });
    connect(widgets_.action("mExit"), &QAction::triggered, this, &QWidget::close);
    connect(menuBar()->findChild<QMenu*>("mComPort"), &QMenu::aboutToShow, this,
            [this] { run([this] { model_.comPortMenuOpened(); }); });
    for (int n = 1; n <= 4; ++n)
        onClick("mCom" + std::to_string(n), [&m, n] { m.comPortClicked(n); });
    // The dialogs and Help windows are made after the window.
    onClick("mShowAdvancedControls", [this] { dialogs_->showOptions(); });
    onClick(controls::kTiltTempCal, [this] { dialogs_->showTiltTempCal(); });
    onClick("mShowOffsetScales", [this] { dialogs_->showScales(); });
    onClick("mInstructions", [this] { dialogs_->showInstructions(); });
    onClick("mPrintInstructions", [this] { dialogs_->printInstructions(windowTitle()); });
    onClick("mHistory", [this] { dialogs_->showHistory(); });
    onClick("mAbout", [this] { dialogs_->showAbout(); });
}

void TfVcbPrg::setDialogs(OptionDialogWindows* dialogs) {
    dialogs_ = dialogs;
    refresh();
}

void TfVcbPrg::refresh() {
    setWindowTitle(QString::fromStdString(model_.title()));
    lFormatNumber_->setText(QString::fromStdString(model_.text(controls::kFormatNumber)));
    memoSerialNumber_->setText(QString::fromStdString(model_.text(controls::kSerialNumber)));
    const QString name = QString::fromStdString(model_.text(controls::kProductName));
    if (memoProductName_->text() != name) memoProductName_->setText(name);
    const bool editable = model_.advancedMode() && model_.isEnabled(controls::kProductName);
    memoProductName_->setEnabled(editable);
    memoProductName_->setReadOnly(!editable);

    for (std::string_view command :
         {controls::kProgVcb, controls::kVerifyVcb, controls::kProgCode, controls::kVerifyCode})
        widgets_.widget(command)->setEnabled(model_.isEnabled(command));
    for (std::string_view command : {controls::kConvertToFormat1, controls::kConvertToFormat2,
                                     controls::kInitDefaultVcb, controls::kTiltTempCal})
        widgets_.action(command)->setEnabled(model_.isEnabled(command));
    for (int n = 1; n <= 4; ++n) {
        QAction* item = widgets_.action("mCom" + std::to_string(n));
        item->setChecked(model_.comChecked(n));
        item->setEnabled(model_.comEnabled(n));
    }
}

void TfVcbPrg::run(const std::function<void()>& command) {
    if (model_.busy()) return; // one job at a time
    try {
        command();
    } catch (const std::exception& e) {
        showErrorBox(e.what());
    }
    refresh();
}

void TfVcbPrg::showErrorBox(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, "Tessel", QString::fromStdString(message),
                    QMessageBox::Ok, this);
    box.setObjectName("errorBox");
    box.exec();
}

void TfVcbPrg::finish(const CommandOutcome& outcome) {
    if (outcome.message) showErrorBox(*outcome.message);
    if (!outcome.field || windows_.showField(*outcome.field)) return;
    if (auto* field = findChild<QLineEdit*>(qText(*outcome.field)); field && field->isEnabled()) {
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    }
}

std::optional<std::string> TfVcbPrg::chooseFile(const char* name, const std::string& folder,
                                                const QStringList& filters, QString* filter) {
    QFileDialog dialog(this, "Open", QString::fromStdString(folder));
    dialog.setObjectName(name);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(*filter);
    dialog.resize(720, 440); // room for the file names, sizes and dates
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    *filter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst().toStdString();
}

std::optional<std::string> TfVcbPrg::chooseHexFile() {
    const QStringList filters = nameFilters(kHexFileFilters);
    QString filter = filters.at(static_cast<qsizetype>(model_.hexFilter()));
    auto path = chooseFile("odOpenHexFile", model_.hexFolder(), filters, &filter);
    if (path) model_.hexFilterChosen(static_cast<std::size_t>(filters.indexOf(filter)));
    return path;
}

std::optional<std::string> TfVcbPrg::chooseBackupFile() {
    const QStringList filters = nameFilters(kBackupFileFilters);
    QString filter = filters.constFirst();
    return chooseFile("odOpenBackup", model_.backupFolder(), filters, &filter);
}

void TfVcbPrg::dragEnterEvent(QDragEnterEvent* event) {
    if (model_.acceptsDrop(droppedFiles(event->mimeData()))) event->acceptProposedAction();
}

void TfVcbPrg::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = droppedFiles(event->mimeData());
    if (!model_.acceptsDrop(paths)) return;
    event->acceptProposedAction();
    run([this, path = paths.front()] { finish(model_.fileDropped(path)); });
}

void TfVcbPrg::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    windows_.mainWindowShown(); // loads the record at the first showing only
    refresh();
}

void TfVcbPrg::closeEvent(QCloseEvent* event) {
    // Nothing ends the program while a job runs: it returns first.
    if (!windows_.mayClose()) {
        event->ignore();
        return;
    }
    if (const auto question = windows_.exitQuestion()) {
        QMessageBox box(QMessageBox::Question, windowTitle(), qText(*question),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setObjectName("exitQuestionBox");
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

bool TfVcbPrg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == memoProductName_) {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            setBackground(memoProductName_, event->type() == QEvent::FocusIn
                                                ? QColor(Qt::white)
                                                : palette().color(QPalette::Button));
        } else if (event->type() == QEvent::KeyPress && !memoProductName_->isReadOnly()) {
            return applyFieldRules(memoProductName_, std::nullopt, static_cast<QKeyEvent*>(event),
                                   [this](const std::string& text) {
                                       model_.controls().setText(controls::kProductName, text);
                                   });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tessel
