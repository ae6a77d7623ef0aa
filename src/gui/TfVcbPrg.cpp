#include "gui/TfVcbPrg.h"

#include "app/ControlNames.h"
#include "gui/WindowLook.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <exception>

namespace tessel {

namespace {
constexpr int kDesignWidth = 391;
constexpr int kDesignHeight = 204;
constexpr int kStartUpLowering = 40;
constexpr int kRowDistance = 40; // between the two button rows

const QColor kNavy(0, 0, 128);
const QColor kMaroon(128, 0, 0);

void setBackground(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::Base, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

// A raised panel with a left-justified caption and a borderless field at 140, 4.
QFrame* captionPanel(QWidget* parent, const char* name, const QRect& place, const char* caption,
                     const char* hint, QLineEdit*& field, const char* fieldName) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(place);
    panel->setToolTip(hint);
    auto* label = new QLabel(caption, panel);
    label->setObjectName(QString(name) + "Caption");
    label->setGeometry(2, 2, 136, place.height() - 4);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    field = new QLineEdit(panel);
    field->setObjectName(fieldName);
    // Wider than the design's 65 pixels, so 14 characters of the platform's font fit.
    field->setGeometry(140, 4, 96, 18);
    field->setAlignment(Qt::AlignRight);
    field->setMaxLength(14);
    field->setFrame(false);
    field->setFocusPolicy(Qt::ClickFocus);
    field->setReadOnly(true);
    field->setEnabled(false);
    setBackground(field, field->palette().color(QPalette::Button));
    return panel;
}

QLabel* formatLabel(QWidget* parent, const char* name, const char* text, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(0, top, 55, 14);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(designFont(12));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, kMaroon);
    label->setPalette(p);
    return label;
}
} // namespace

TfVcbPrg::TfVcbPrg(MainWindowModel& model, QWidget* parent) : QMainWindow(parent), model_(model) {
    setObjectName("TfVcbPrg");
    setFont(designFont());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    buildControls();
    buildMenus();
    setFixedSize(kDesignWidth, clientHeight() + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    refresh();
}

int TfVcbPrg::clientHeight() const {
    return kDesignHeight - kStartUpLowering - (model_.advancedMode() ? 0 : kRowDistance);
}

void TfVcbPrg::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName("client");
    setCentralWidget(client);

    auto* rule = new QFrame(client);
    rule->setObjectName("Panel2");
    rule->setGeometry(4, 1, 380, 2);
    setBackground(rule, kNavy);

    pSerialNumber_ = captionPanel(client, "pSerialNumber", {60, 10, 240, 26}, "  S/N",
                                  "Light Bar Serial Number", memoSerialNumber_,
                                  "memoSerialNumber");
    memoSerialNumber_->setFocusPolicy(Qt::NoFocus);
    pProductName_ = captionPanel(client, "pProductName", {60, 40, 240, 26}, "  Product Name",
                                 "Name of Light Bar Product", memoProductName_, "memoProductName");
    memoProductName_->setToolTip("Right Click to see list");
    memoProductName_->installEventFilter(this);
    connect(memoProductName_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.controls().setText(controls::kProductName, text.toStdString());
    });

    auto* format = new QWidget(client);
    format->setObjectName("pVcbFormat");
    format->setGeometry(300, 14, 55, 47);
    formatLabel(format, "Label1", "VCB", 2);
    formatLabel(format, "Label2", "Format", 17);
    lFormatNumber_ = formatLabel(format, "lFormatNumber", "?", 32);

    const bool advanced = model_.advancedMode();
    const int secondRow = advanced ? 120 : 80;
    const auto button = [&](const char* name, const char* caption, QRect place, const char* hint,
                            std::function<void()> command) {
        auto* b = new QPushButton(caption, client);
        b->setObjectName(name);
        b->setGeometry(place);
        fitCaption(b, caption, 12, true, kButtonPadding);
        b->setToolTip(hint);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, command] { run(command); });
        return b;
    };
    bReadVcb_ = button("bReadVcb", "Read VCB", {55, 80, 80, 30},
                       "Read the Veltrane Configuration Block from a connected Light Bar",
                       [this] { model_.readVcb(); });
    bProgVcb_ = button("bProgVcb", "Prog VCB", {150, 80, 80, 30},
                       "Program a connected Light Bar with the current Veltrane Configuration Block",
                       [this] { model_.progVcb(); });
    bVerifyVcb_ = button("bVerifyVcb", "Verify VCB", {245, 80, 80, 30},
                         "Verify the Veltrane Configuration Block to a connected Light Bar",
                         [this] { model_.verifyVcb(); });
    bProgCode_ = button("bProgCode", "Prog Code", {150, secondRow, 80, 30},
                        "Program a connected Light Bar with Firmware Code",
                        [this] { model_.progCode(chooseHexFile()); });
    bVerifyCode_ = button("bVerifyCode", "Verify Code", {245, secondRow, 80, 30},
                          "Verify Firmware Code to a connected Light Bar",
                          [this] { model_.verifyCode(chooseHexFile()); });
    bProgVcb_->setVisible(advanced);
    bVerifyVcb_->setVisible(advanced);
}

void TfVcbPrg::buildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("mFile");
    const auto item = [this](QMenu* menu, const char* name, const char* caption,
                             std::function<void()> command) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, command] { run(command); });
        return a;
    };
    mConvertVcbToFormat1_ = item(file, "mConvertVcbToFormat1", "Convert VCB to Format 1",
                                 [this] { model_.convertVcb(1); });
    mConvertVcbToFormat2_ = item(file, "mConvertVcbToFormat2", "Convert VCB to Format 2",
                                 [this] { model_.convertVcb(2); });
    mInitDefaultVcb_ = item(file, "mInitDefaultVcb", "Init Default VCB",
                            [this] { model_.initDefaultVcb(); });
    file->addSeparator();
    QAction* exit = file->addAction("Exit");
    exit->setObjectName("mExit");
    connect(exit, &QAction::triggered, this, &QWidget::close);

    mComPort_ = menuBar()->addMenu("COM Port");
    mComPort_->setObjectName("mComPort");
    connect(mComPort_, &QMenu::aboutToShow, this, [this] {
        run([this] { model_.comPortMenuOpened(); });
    });
    for (int n = 1; n <= 4; ++n) {
        QAction* a = item(mComPort_, "", "", [this, n] { model_.comPortClicked(n); });
        a->setText(QString("COM%1").arg(n));
        a->setObjectName(QString("mCom%1").arg(n));
        a->setCheckable(true);
        mCom_[n - 1] = a;
    }
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

    bProgVcb_->setEnabled(model_.isEnabled(controls::kProgVcb));
    bVerifyVcb_->setEnabled(model_.isEnabled(controls::kVerifyVcb));
    bProgCode_->setEnabled(model_.isEnabled(controls::kProgCode));
    bVerifyCode_->setEnabled(model_.isEnabled(controls::kVerifyCode));
    mConvertVcbToFormat1_->setEnabled(model_.isEnabled(controls::kConvertToFormat1));
    mConvertVcbToFormat2_->setEnabled(model_.isEnabled(controls::kConvertToFormat2));
    mInitDefaultVcb_->setEnabled(model_.isEnabled(controls::kInitDefaultVcb));
    for (int n = 1; n <= 4; ++n) {
        mCom_[n - 1]->setChecked(model_.comChecked(n));
        mCom_[n - 1]->setEnabled(model_.comEnabled(n));
    }
}

void TfVcbPrg::run(const std::function<void()>& command) {
    if (model_.busy()) return; // one job at a time
    try {
        command();
    } catch (const std::exception& e) {
        QMessageBox box(QMessageBox::Critical, "Tessel", QString::fromStdString(e.what()),
                        QMessageBox::Ok, this);
        box.setObjectName("errorBox");
        box.exec();
    }
    refresh();
}

std::optional<std::string> TfVcbPrg::chooseHexFile() {
    QFileDialog dialog(this, "Open", QString::fromStdString(model_.hexFolder()));
    dialog.setObjectName("odOpenHexFile");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({"Hex files (*.hex *.HEX)", "A90 Hex files (*.a90 *.A90)",
                           "All files (*)"});
    dialog.selectNameFilter("A90 Hex files (*.a90 *.A90)");
    dialog.resize(720, 440); // room for the file names, sizes and dates
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

void TfVcbPrg::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    model_.windowShown(); // loads the record at the first showing only
    refresh();
}

void TfVcbPrg::closeEvent(QCloseEvent* event) {
    // Nothing ends the program while a job runs: it returns first.
    if (model_.busy()) event->ignore();
    else event->accept();
}

bool TfVcbPrg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == memoProductName_) {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            setBackground(memoProductName_, event->type() == QEvent::FocusIn
                                                ? QColor(Qt::white)
                                                : palette().color(QPalette::Button));
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) return true; // stays one line
            if (key == Qt::Key_Escape && !memoProductName_->isReadOnly()) {
                memoProductName_->clear();
                model_.controls().setText(controls::kProductName, "");
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tessel
