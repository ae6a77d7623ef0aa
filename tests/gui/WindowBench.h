#pragma once

#include "app/JobAnswers.h"
#include "app/LightBarBlock.h"
#include "support/TempDir.h"

#include <cstdlib>

#include "block/BlockText.h"
#include "block/ConfigBlock.h"
#include "gui/GuiMain.h"
#include "gui/WindowSession.h"

#include "ShownWindows.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessel::testing {

// One line of the job window's log pane as drawn.
struct DrawnLine {
    std::string text;
    QColor colour;
    bool bold = false;
    bool italic = false;
};

inline std::vector<DrawnLine> drawnLines(const QTextEdit* pane) {
    std::vector<DrawnLine> lines;
    for (QTextBlock b = pane->document()->begin(); b.isValid(); b = b.next()) {
        if (b.text().isEmpty() && lines.empty() && !b.next().isValid()) break; // empty pane
        QTextCursor c(b);
        c.movePosition(QTextCursor::Right);
        const QTextCharFormat f = c.charFormat();
        const QColor colour = f.hasProperty(QTextFormat::ForegroundBrush)
                                  ? f.foreground().color()
                                  : pane->palette().color(QPalette::Text); // the pane's own
        lines.push_back({b.text().toStdString(), colour, f.fontWeight() >= QFont::Bold,
                         f.fontItalic()});
    }
    return lines;
}

// The windows on a virtual light bar with an INI file of the test's choosing. What pops up while
// a command runs is answered as it appears, as an operator would: a message box or file dialog
// as it shows, a question of the job window as the model shows it; the answer arrives through
// the loop that waits for it.
class WindowBench : public JobAnswers {
public:

    explicit WindowBench(const std::string& ini) {
        writeFile(iniPath, ini);
        AppSession::Options options;
        options.executablePath = dir / "tessel";
        options.iniPath = iniPath;
        options.simulate = true;
        ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1); // the jobs' backups stay here
        WindowSet::Opened opened = WindowSet::open(options, qtMessagePump());
        EXPECT_TRUE(opened.windows) << opened.outcome.message;
        session = std::make_unique<WindowSession>(std::move(opened.windows));
        session->windows().attachViews({[this] { mainWindow().refresh(); },
                                        [this] {
                                            jobWindow().refresh();
                                            jobChanged();
                                        }});
        mainWindow().show();
    }

    TfVcbPrg& mainWindow() { return session->mainWindow(); }
    TfProgramChip& jobWindow() { return session->jobWindow(); }
    VirtualLightBar& lightBar() { return session->virtualLightBar(); }

    template <class T = QWidget> T* child(QWidget& window, const char* name) {
        T* w = window.findChild<T*>(name);
        if (!w) ADD_FAILURE() << "no control " << name;
        return w;
    }
    QPushButton* button(const char* name) { return child<QPushButton>(mainWindow(), name); }
    QPushButton* jobButton(const char* name) { return child<QPushButton>(jobWindow(), name); }
    QAction* action(const char* name) { return mainWindow().findChild<QAction*>(name); }
    std::string fieldText(const char* name) {
        auto* w = mainWindow().findChild<QWidget*>(name);
        if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text().toStdString();
        if (auto* l = qobject_cast<QLabel*>(w)) return l->text().toStdString();
        ADD_FAILURE() << "no field " << name;
        return {};
    }
    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

    void putRecord(const ConfigBlock& record) { testing::putRecord(lightBar(), record); }
    static ConfigBlock record(int format, std::int32_t serial) { return unitRecord(format, serial); }

    // --- the script for what pops up while a command runs ---
    std::string fileToChoose;                 // the file dialog's answer; empty: Cancel
    std::vector<std::string> dialogFolders;   // the folder each file dialog opened in
    std::function<void()> atQuestion;         // runs when a question shows, before the answer
    std::function<void()> atJobChange;        // runs at every change the job window shows
    // Runs in its loop when a window shows, before the bench answers it (not when the step
    // closed it).
    std::function<void(QWidget&)> atShow;
    std::vector<std::vector<DrawnLine>> logs; // the log pane at every question
    std::vector<std::string> errorBoxes;      // "caption|text" of each message box
    std::deque<bool> boxAnswers;              // Yes (true) or No per Yes/No box; empty: Yes
    bool answerByKeys = false;                // Enter at OK alone, Escape for Cancel and No

private:
    void windowShown(QWidget& window) {
        const QPointer<QWidget> alive(&window);
        if (atShow) atShow(window);
        if (!alive || !window.isVisible()) return;
        if (auto* box = qobject_cast<QMessageBox*>(&window)) answerBox(*box);
        if (auto* dialog = qobject_cast<QFileDialog*>(&window)) answerFileDialog(*dialog);
    }

    void answerBox(QMessageBox& box) {
        errorBoxes.push_back(box.windowTitle().toStdString() + "|" + box.text().toStdString());
        if (QAbstractButton* ok = box.button(QMessageBox::Ok)) {
            ok->click();
            return;
        }
        const bool yes = boxAnswers.empty() || boxAnswers.front();
        if (!boxAnswers.empty()) boxAnswers.pop_front();
        box.button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    }

    void answerFileDialog(QFileDialog& dialog) {
        dialogFolders.push_back(dialog.directory().absolutePath().toStdString());
        if (fileToChoose.empty()) {
            dialog.reject();
        } else {
            dialog.selectFile(QString::fromStdString(fileToChoose));
            static_cast<QDialog&>(dialog).accept(); // QFileDialog's own accept
        }
    }

    // The answer comes through the loop that waits for it, to the question showing then.
    void jobChanged() {
        if (atJobChange) atJobChange();
        const JobWindowModel& job = session->jobModel();
        if (job.okVisible() || job.yesVisible())
            QMetaObject::invokeMethod(
                &jobWindow(), [this] { answerQuestion(); }, Qt::QueuedConnection);
    }

    void answerQuestion() {
        const JobWindowModel& job = session->jobModel();
        if (!newQuestion(job, lightBar())) return;
        if (atQuestion) atQuestion();
        logs.push_back(drawnLines(child<QTextEdit>(jobWindow(), "reProg")));
        const bool okOnly = job.okVisible() && !job.cancelVisible();
        const std::string name = answerButton(job);
        if (answerByKeys && (okOnly || name == "bProgCancel" || name == "bProgNo")) {
            // At the focused control, as a technician's key would arrive.
            QWidget* focus = jobWindow().focusWidget();
            QTest::keyClick(focus ? focus : &jobWindow(), okOnly ? Qt::Key_Return : Qt::Key_Escape);
        } else {
            click(jobButton(name.c_str()));
        }
    }

public:
    TempDir dir;
    std::string iniPath = dir / "tessel.INI";
    std::unique_ptr<WindowSession> session;

private:
    ShownWindows shown_{[this](QWidget& window) { windowShown(window); }}; // gone first
};

// Runs work on the dialog once it shows, in its modal loop, then closes it with its button (none:
// the work closes it). open is what opens it.
inline void whileOpen(WindowBench& b, const char* dialogName, const char* closeButton,
               std::function<void(QWidget&)> work, const std::function<void()>& open) {
    bool done = false;
    b.atShow = [&](QWidget& window) {
        if (done || window.objectName() != dialogName) return;
        done = true;
        QApplication::setActiveWindow(&window);
        work(window);
        if (closeButton)
            QTest::mouseClick(window.findChild<QPushButton*>(closeButton), Qt::LeftButton);
    };
    open();
    b.atShow = nullptr;
    EXPECT_TRUE(done) << dialogName << " did not open";
}

inline void whileOpen(WindowBench& b, const char* dialogName, const char* closeButton,
               std::function<void(QWidget&)> work, const char* menuItem) {
    whileOpen(b, dialogName, closeButton, std::move(work), [&] { b.action(menuItem)->trigger(); });
}

inline QLineEdit* field(QWidget& dialog, const char* name) {
    auto* f = dialog.findChild<QLineEdit*>(name);
    if (!f) ADD_FAILURE() << "no field " << name;
    return f;
}

inline constexpr const char* kAdvancedIni = "[Configuration]\nAdvanced Options=1\nCOM Port=1\n";
inline constexpr const char* kPlainIni = "[Configuration]\nCOM Port=1\n";

} // namespace tessel::testing
