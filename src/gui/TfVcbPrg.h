#pragma once

#include "app/MainWindowModel.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>
#include <string>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace tessel {

// The main window: draws a MainWindowModel (fields, enabled commands, COM Port menu, title) and
// runs its commands from the buttons and menus. Every handler shows an exception in the
// standard error box; the window cannot close while a job runs.
class TfVcbPrg : public QMainWindow {
    Q_OBJECT
public:
    explicit TfVcbPrg(MainWindowModel& model, QWidget* parent = nullptr);

    // Brings the window in line with the model.
    void refresh();

    // The design's client height (204) less the start-up adjustments.
    int clientHeight() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    // Runs a command; an exception shows its message in the standard error box.
    void run(const std::function<void()>& command);
    // The firmware file dialog; none when cancelled.
    std::optional<std::string> chooseHexFile();

    MainWindowModel& model_;
    QFrame* pSerialNumber_ = nullptr;
    QFrame* pProductName_ = nullptr;
    QLineEdit* memoSerialNumber_ = nullptr;
    QLineEdit* memoProductName_ = nullptr;
    QLabel* lFormatNumber_ = nullptr;
    QPushButton* bReadVcb_ = nullptr;
    QPushButton* bProgVcb_ = nullptr;
    QPushButton* bVerifyVcb_ = nullptr;
    QPushButton* bProgCode_ = nullptr;
    QPushButton* bVerifyCode_ = nullptr;
    QAction* mConvertVcbToFormat1_ = nullptr;
    QAction* mConvertVcbToFormat2_ = nullptr;
    QAction* mInitDefaultVcb_ = nullptr;
    QMenu* mComPort_ = nullptr;
    std::array<QAction*, 4> mCom_{};
};

} // namespace tessel
