#include "gui/DialogLook.h"

#include "gui/WindowLook.h"

#include <QLabel>
#include <QLayout>
#include <QPushButton>

namespace tessel {

void makeFixedDialog(QDialog* dialog, const QString& name, const QString& caption) {
    dialog->setObjectName(name);
    dialog->setWindowTitle(caption);
    dialog->setFont(designFont());
    dialog->setModal(true);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    if (dialog->layout()) dialog->layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QPushButton* dialogButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QLabel* navyLine(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 128));
    label->setPalette(p);
    return label;
}

} // namespace tessel
