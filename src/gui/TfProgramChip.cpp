#include "gui/TfProgramChip.h"


#include <QCloseEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>

namespace tessel {

namespace {

// A plain line takes the pane's own text colour.
QTextCharFormat lineFormat(LineStyle style) {
    const LineLook look = lineLook(style);
    const Rgb rgb = rgbOf(look.colour);
    QTextCharFormat f;
    if (look.colour != Colour::Default) f.setForeground(QColor(rgb.red, rgb.green, rgb.blue));
    f.setFontWeight(look.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(look.italic);
    return f;
}

// A line longer than the pane goes on in the next row, indented by kWrapIndentColumns characters.
QTextBlockFormat wrappedRows(const QTextEdit* pane) {
    const qreal indent = QFontMetricsF(pane->font()).horizontalAdvance(QLatin1Char(' ')) *
                         kWrapIndentColumns;
    QTextBlockFormat f;
    f.setLeftMargin(indent);
    f.setTextIndent(-indent);
    return f;
}

} // namespace

TfProgramChip::TfProgramChip(JobWindowModel& model, QWidget* parent)
    : QWidget(parent), model_(model),
      widgets_(jobWindowLayout(JobLayoutMode::Design), this),
      reVcbDisplay_(widgets_.get<QTextEdit>("reVcbDisplay")),
      reProg_(widgets_.get<QTextEdit>("reProg")),
      pbProgrammingProgress_(widgets_.get<QProgressBar>("pbProgrammingProgress")),
      bProgNo_(widgets_.get<QPushButton>("bProgNo")),
      bProgYes_(widgets_.get<QPushButton>("bProgYes")),
      bProgCancel_(widgets_.get<QPushButton>("bProgCancel")),
      bProgOk_(widgets_.get<QPushButton>("bProgOk")) {
    applyWindowLayout(this, jobWindowLayout(JobLayoutMode::Design));
    connect(bProgNo_, &QPushButton::clicked, this, [this] { model_.setNoClicked(); });
    connect(bProgYes_, &QPushButton::clicked, this, [this] { model_.setYesClicked(); });
    connect(bProgCancel_, &QPushButton::clicked, this, [this] { model_.setCancelClicked(); });
    connect(bProgOk_, &QPushButton::clicked, this, [this] { model_.setOkClicked(); });
    refresh();
}

void TfProgramChip::applyLayout() {
    const JobLayoutMode mode = model_.layoutMode();
    if (shownLayout_ == mode) return;
    shownLayout_ = mode;
    // Another job's layout keeps what the operator added to the window's size.
    const WindowLayout layout = jobWindowLayout(mode);
    setMinimumSize(layout.clientWidth, layout.clientHeight);
    resize(layout.clientWidth + grownBy_.width(), layout.clientHeight + grownBy_.height());
    widgets_.place(jobWindowLayout(mode, width(), height()), {"reVcbDisplay"});
}

void TfProgramChip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!shownLayout_) return;
    const WindowLayout layout = jobWindowLayout(*shownLayout_);
    grownBy_ = QSize(width() - layout.clientWidth, height() - layout.clientHeight);
    // The model shows and hides the others.
    widgets_.place(jobWindowLayout(*shownLayout_, width(), height()), {"reVcbDisplay"});
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
    const QTextBlockFormat rows = wrappedRows(reProg_);
    for (std::size_t i = keep; i < lines.size(); ++i) {
        if (i > 0)
            cursor.insertBlock(rows);
        else
            cursor.setBlockFormat(rows);
        cursor.insertText(QString::fromStdString(lines[i].text), lineFormat(lines[i].style));
    }
    shownLines_ = lines;
    // The new line in view: the last one.
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
    switch (event->key()) {
    case Qt::Key_Escape: model_.escapePressed(); break; // Cancel or No where offered
    case Qt::Key_Return:
    case Qt::Key_Enter: model_.enterPressed(); break;   // OK where it is the only answer
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

} // namespace tessel
