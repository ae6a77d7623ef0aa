#include "gui/LayoutWidgets.h"

#include "gui/WindowLook.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

#include <cassert>

namespace tessel {

namespace {

QColor colourOf(Colour colour) {
    const Rgb rgb = rgbOf(colour);
    return {rgb.red, rgb.green, rgb.blue};
}

Qt::Alignment alignmentOf(Align align) {
    switch (align) {
    case Align::Centre: return Qt::AlignCenter;
    case Align::Right: return Qt::AlignRight;
    case Align::Left: break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QFont fontOf(const Font& font, const Font& windowFont) {
    const int pixels = font.pixels != 0 ? font.pixels : windowFont.pixels;
    return font.face == FontFace::Fixed ? paneFont(pixels) : designFont(pixels, font.bold);
}

QTextEdit* richText(QWidget* parent, const ControlRow& row) {
    auto* pane = new QTextEdit(parent);
    pane->setReadOnly(true);
    // A pane that wraps its lines at its width scrolls only down.
    const bool wraps = row.has(ControlRow::WrapLines);
    pane->setLineWrapMode(wraps ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    pane->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    pane->setHorizontalScrollBarPolicy(wraps ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return pane;
}

QLineEdit* edit(QWidget* parent, const ControlRow& row) {
    auto* field = new QLineEdit(parent);
    field->setAlignment(alignmentOf(row.align));
    if (row.maxLength > 0) field->setMaxLength(row.maxLength);
    if (row.has(ControlRow::Borderless)) field->setFrame(false);
    if (row.has(ControlRow::ReadOnly)) field->setReadOnly(true);
    return field;
}

QPushButton* button(QWidget* parent, const ControlRow& row) {
    auto* b = new QPushButton(qText(row.caption), parent);
    // Enter presses only the button made for it, never the one that happens to have the focus.
    if (!row.has(ControlRow::DefaultButton)) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    return b;
}

// The control of one row, without its place, font and looks shared by every kind.
QWidget* make(QWidget* parent, const ControlRow& row) {
    switch (row.kind) {
    case ControlKind::Panel: {
        auto* panel = new QFrame(parent);
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        return panel;
    }
    case ControlKind::Area: return new QWidget(parent);
    case ControlKind::Label:
    case ControlKind::Image: {
        auto* label = new QLabel(qText(row.caption), parent);
        label->setAlignment(alignmentOf(row.align));
        return label;
    }
    case ControlKind::Edit: return edit(parent, row);
    case ControlKind::Button: return button(parent, row);
    case ControlKind::CheckBox: return new QCheckBox(qText(row.caption), parent);
    case ControlKind::RadioButton: return new QRadioButton(qText(row.caption), parent);
    case ControlKind::GroupBox: return new QGroupBox(qText(row.caption), parent);
    case ControlKind::TextBox: {
        auto* text = new QPlainTextEdit(qText(row.caption), parent);
        text->setReadOnly(true);
        text->setLineWrapMode(QPlainTextEdit::NoWrap);
        return text;
    }
    case ControlKind::RichText: return richText(parent, row);
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setRange(0, 100);
        bar->setTextVisible(false);
        return bar;
    }
    case ControlKind::Menu:
    case ControlKind::MenuItem:
    case ControlKind::MenuSeparator: break;
    }
    return nullptr;
}

void setHint(QWidget* w, const ControlRow& row) {
    if (row.hint.empty()) return;
    // A hint kept with tool tips off shows nowhere, as designed; it stays readable for tests.
    if (row.has(ControlRow::NoToolTip)) w->setWhatsThis(qText(row.hint));
    else w->setToolTip(qText(row.hint));
}

void setLooks(QWidget* w, const ControlRow& row, const Font& windowFont) {
    if (row.kind == ControlKind::Button)
        fitCaption(w, qText(plainCaption(row.caption)), fontOf(row.font, windowFont).pixelSize(),
                   row.font.bold, kButtonPadding);
    else if (row.font != Font{})
        w->setFont(fontOf(row.font, windowFont));
    if (row.colour != Colour::Default) {
        QPalette p = w->palette();
        if (row.kind == ControlKind::Area) {
            p.setColor(QPalette::Window, colourOf(row.colour));
            p.setColor(QPalette::Base, colourOf(row.colour));
            w->setAutoFillBackground(true);
        } else {
            p.setColor(QPalette::WindowText, colourOf(row.colour));
        }
        w->setPalette(p);
    }
    if (row.has(ControlRow::NoFocus)) w->setFocusPolicy(Qt::NoFocus);
    else if (row.has(ControlRow::NoTabStop)) w->setFocusPolicy(Qt::ClickFocus);
    if (row.has(ControlRow::Hidden)) w->hide();
}

} // namespace

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

LayoutWidgets::LayoutWidgets(const WindowLayout& layout, QWidget* client, QMenuBar* menuBar) {
    for (const ControlRow& row : layout.rows) {
        if (row.has(ControlRow::Unseen)) continue;
        const QString name = qText(row.name);
        if (row.kind == ControlKind::Menu) {
            QMenu* menu = menuBar->addMenu(qText(row.caption));
            menu->setObjectName(name);
            menus_.emplace(row.name, menu);
        } else if (row.kind == ControlKind::MenuItem || row.kind == ControlKind::MenuSeparator) {
            QMenu* menu = row.parent.empty() ? nullptr : menus_.at(row.parent);
            QAction* item = row.kind == ControlKind::MenuSeparator ? menu->addSeparator()
                            : menu ? menu->addAction(qText(row.caption))
                                   : menuBar->addAction(qText(row.caption));
            item->setObjectName(name);
            item->setCheckable(row.has(ControlRow::Checkable));
            if (row.has(ControlRow::Hidden)) item->setVisible(false);
            actions_.emplace(row.name, item);
        } else {
            QWidget* parent = row.parent.empty() ? client : widgets_.at(row.parent);
            QWidget* w = make(parent, row);
            w->setObjectName(name);
            w->setGeometry(toQRect(row.place));
            setHint(w, row);
            setLooks(w, row, layout.font);
            widgets_.emplace(row.name, w);
        }
    }
}

QWidget* LayoutWidgets::widget(std::string_view name) const {
    const auto it = widgets_.find(name);
    assert(it != widgets_.end() && "a control the layout does not draw");
    return it == widgets_.end() ? nullptr : it->second;
}

QAction* LayoutWidgets::action(std::string_view name) const {
    const auto it = actions_.find(name);
    assert(it != actions_.end() && "a menu item the layout does not hold");
    return it == actions_.end() ? nullptr : it->second;
}

void LayoutWidgets::place(const WindowLayout& layout,
                          std::initializer_list<std::string_view> visibility) const {
    for (const auto& [name, w] : widgets_) w->setGeometry(toQRect(layout.row(name).place));
    for (std::string_view name : visibility)
        widget(name)->setVisible(!layout.row(name).has(ControlRow::Hidden));
}

void applyWindowLayout(QWidget* window, const WindowLayout& layout) {
    window->setObjectName(qText(layout.name));
    if (!layout.caption.empty()) window->setWindowTitle(qText(layout.caption));
    window->setFont(designFont(layout.font.pixels, layout.font.bold));
    window->setWindowFlags(layout.frame == WindowLayout::Frame::Main
                               ? Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                     Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                     Qt::WindowCloseButtonHint
                               : Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

} // namespace tessel
