#pragma once

#include "app/JobWindowModel.h"
#include "gui/LayoutWidgets.h"

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class QProgressBar;
class QPushButton;
class QTextEdit;

namespace tessel {

// The job window: draws a JobWindowModel (log lines in their styles, block pane, progress, the
// four buttons, the job window's layout for the job) and forwards the buttons' clicks, Enter and
// Escape to it. While a job runs it is application-modal, and only the job can close it. It can
// be made larger than its layout (the panes grow), never smaller.
class TfProgramChip : public QWidget {
    Q_OBJECT
public:
    explicit TfProgramChip(JobWindowModel& model, QWidget* parent = nullptr);

    // Brings the window in line with the model.
    void refresh();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void refreshLog();
    void applyLayout();

    JobWindowModel& model_;
    LayoutWidgets widgets_;
    QTextEdit* reVcbDisplay_;
    QTextEdit* reProg_;
    QProgressBar* pbProgrammingProgress_;
    QPushButton* bProgNo_;
    QPushButton* bProgYes_;
    QPushButton* bProgCancel_;
    QPushButton* bProgOk_;
    std::vector<JobWindowModel::Line> shownLines_;
    std::string shownBlock_;
    std::optional<JobLayoutMode> shownLayout_; // none: nothing placed yet
    QSize grownBy_;                            // what the operator added to the layout's size
};

} // namespace tessel
