#include "gui/DialogLook.h"

namespace tessel {

FixedDialog::FixedDialog(WindowLayout layout, QWidget* parent)
    : QDialog(parent), layout_(std::move(layout)), widgets_(layout_, this) {
    applyWindowLayout(this, layout_);
    setModal(true);
    setFixedSize(layout_.clientWidth, layout_.clientHeight);
}

void FixedDialog::runModal() {
    setWindowTitle(qText(layout_.caption));
    exec();
}

} // namespace tessel
