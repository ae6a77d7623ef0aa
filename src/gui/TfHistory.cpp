#include "gui/TfHistory.h"

#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextEdit>

namespace tessel {

TfHistory::TfHistory(const std::string& text, QWidget* parent)
    : QDialog(parent), layout_(historyWindowLayout()), widgets_(layout_, this) {
    applyWindowLayout(this, layout_);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setMinimumSize(layout_.clientWidth, layout_.clientHeight);
    resize(layout_.clientWidth, layout_.clientHeight);
    widgets_.get<QTextEdit>("reHistory")->setPlainText(qText(text));
    auto* close = widgets_.get<QPushButton>("bHistoryClose");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void TfHistory::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    auto* pane = widgets_.get<QTextEdit>("reHistory");
    pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum());
    pane->horizontalScrollBar()->setValue(0);
}

void TfHistory::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    widgets_.place(historyWindowLayout(width(), height()), {});
}

} // namespace tessel
