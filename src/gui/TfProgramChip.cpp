#include "gui/TfProgramChip.h"

#include "gui/WindowLook.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>

namespace tessel {

namespace {
constexpr int kClientHeight = 343;

QTextCharFormat lineFormat(LineStyle style) {
    QTextCharFormat f;
    switch (style) {
    case LineStyle::Plain:
        f.setForeground(Qt::black);
        break;
    case LineStyle::Error:
        f.setForeground(Qt::red);
        f.setFontWeight(QFont::Bold);
        break;
    case LineStyle::Progress:
        f.setForeground(Qt::blue);
        f.setFontItalic(true);
        break;
    case LineStyle::Success:
        f.setForeground(QColor(0, 128, 0));
        break;
    }
    return f;
}

QTextEdit* makePane(QWidget* parent, const char* name) {
    auto* pane = new QTextEdit(parent);
    pane->setObjectName(name);
    pane->setReadOnly(true);
    pane->setFont(paneFont());
    pane->setLineWrapMode(QTextEdit::NoWrap);
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return pane;
}
} // namespace

TfProgramChip::TfProgramChip(JobWindowModel& model, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      model_(model) {
    setObjectName("TfProgramChip");
    setWindowTitle("Read/Programming Chip");
    setFont(designFont());
    reVcbDisplay_ = makePane(this, "reVcbDisplay");
    reProg_ = makePane(this, "reProg");
    pbProgrammingProgress_ = new QProgressBar(this);
    pbProgrammingProgress_->setObjectName("pbProgrammingProgress");
    pbProgrammingProgress_->setRange(0, 100);
    pbProgrammingProgress_->setTextVisible(false);
    const auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    bProgNo_ = button("bProgNo", "No");
    bProgYes_ = button("bProgYes", "Yes");
    bProgCancel_ = button("bProgCancel", "Cancel");
    bProgOk_ = button("bProgOk", "OK");
    connect(bProgNo_, &QPushButton::clicked, this, [this] { model_.setNoClicked(); });
    connect(bProgYes_, &QPushButton::clicked, this, [this] { model_.setYesClicked(); });
    connect(bProgCancel_, &QPushButton::clicked, this, [this] { model_.setCancelClicked(); });
    connect(bProgOk_, &QPushButton::clicked, this, [this] { model_.setOkClicked(); });
    shownLayout_.windowWidth = -1; // the first refresh places everything
    refresh();
}

void TfProgramChip::applyLayout() {
    const JobWindowModel::Layout& l = model_.layout();
    if (l == shownLayout_) return;
    shownLayout_ = l;
    setFixedSize(l.windowWidth, kClientHeight);
    reVcbDisplay_->setGeometry(toQRect(l.blockPane));
    reVcbDisplay_->setVisible(l.blockPaneVisible);
    reProg_->setGeometry(toQRect(l.logPane));
    pbProgrammingProgress_->setGeometry(toQRect(l.progressBar));
    bProgNo_->setGeometry(toQRect(l.noButton));
    bProgYes_->setGeometry(toQRect(l.yesButton));
    bProgCancel_->setGeometry(toQRect(l.cancelButton));
    bProgOk_->setGeometry(toQRect(l.okButton));
    for (QPushButton* b : {bProgNo_, bProgYes_, bProgCancel_, bProgOk_})
        fitCaption(b, b->text(), 11, false, kButtonPadding);
}

void TfProgramChip::refreshLog() {
    const auto& lines = model_.lines();
    // Keep the lines still shown as they are; redraw from the first that differs.
    const auto firstDiff = std::mismatch(shownLines_.begin(), shownLines_.end(), lines.begin(),
                                         lines.end()).first;
    const auto keep = static_cast<std::size_t>(firstDiff - shownLines_.begin());
    if (keep == shownLines_.size() && keep == lines.size()) return;

    QTextDocument* doc = reProg_->document();
    QTextCursor cursor(doc);
    if (keep == 0) {
        doc->clear();
    } else if (keep < shownLines_.size()) {
        cursor.setPosition(doc->findBlockByNumber(static_cast<int>(keep) - 1).position() +
                           doc->findBlockByNumber(static_cast<int>(keep) - 1).length() - 1);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.movePosition(QTextCursor::End);
    for (std::size_t i = keep; i < lines.size(); ++i) {
        if (i > 0) cursor.insertBlock();
        cursor.insertText(QString::fromStdString(lines[i].text), lineFormat(lines[i].style));
    }
    shownLines_ = lines;
    reProg_->verticalScrollBar()->setValue(reProg_->verticalScrollBar()->maximum());
}

void TfProgramChip::refresh() {
    applyLayout();
    refreshLog();
    if (model_.blockText() != shownBlock_) {
        shownBlock_ = model_.blockText();
        reVcbDisplay_->setPlainText(QString::fromStdString(shownBlock_));
        reVcbDisplay_->moveCursor(QTextCursor::Start); // the block from its title
        reVcbDisplay_->horizontalScrollBar()->setValue(0);
    }
    pbProgrammingProgress_->setValue(model_.progress());
    pbProgrammingProgress_->setVisible(model_.progressVisible());
    bProgNo_->setVisible(model_.noVisible());
    bProgYes_->setVisible(model_.yesVisible());
    bProgCancel_->setVisible(model_.cancelVisible());
    bProgOk_->setVisible(model_.okVisible());

    if (model_.visible() && !isVisible()) {
        setWindowTitle(QString::fromStdString(model_.caption()));
        // Input reaches only this window while the job runs.
        setWindowModality(Qt::ApplicationModal);
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        show();
        raise();
        activateWindow();
    } else if (model_.visible()) {
        setWindowTitle(QString::fromStdString(model_.caption()));
    } else if (!model_.visible() && isVisible()) {
        hide();
    }
}

void TfProgramChip::closeEvent(QCloseEvent* event) {
    // Only the job closes its window (it hides it); the close box and Alt+F4 are refused.
    event->ignore();
}

void TfProgramChip::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept(); // Escape does nothing here
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace tessel
