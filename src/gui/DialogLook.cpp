#include "gui/DialogLook.h"

#include <QLineEdit>
#include <QTimer>

namespace tessel {

FixedDialog::FixedDialog(WindowLayout layout, QWidget* parent)
    : QDialog(parent), layout_(std::move(layout)), widgets_(layout_, this) {
    applyWindowLayout(this, layout_);
    setModal(true);
    setFixedSize(layout_.clientWidth, layout_.clientHeight);
}

void FixedDialog::runModal(const std::string& focusField) {
    setWindowTitle(qText(layout_.caption));
    if (!focusField.empty()) {
        // Once the dialog is shown and active, so the focus stays where it is put.
        QTimer::singleShot(0, this, [this, focusField] {
            if (auto* field = findChild<QLineEdit*>(qText(focusField))) {
                field->setFocus(Qt::OtherFocusReason);
                field->selectAll();
            }
        });
    }
    exec();
}

} // namespace tessel
