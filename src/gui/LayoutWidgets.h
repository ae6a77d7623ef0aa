#pragma once

#include "app/WindowLayout.h"

#include <QString>
#include <QWidget>

#include <cassert>

#include <map>
#include <string>
#include <string_view>

class QAction;
class QMenu;
class QMenuBar;

namespace tessel {

// A window's widgets made from its layout rows: each drawn row's control with its place, caption,
// hint, font, colour, alignment and flags, named after its row, children inside their panels and
// group boxes, in row order (so Tab follows the rows). Menus and their items go into the menu
// bar. The view then wires the widgets by name.
class LayoutWidgets {
public:
    // client: the widget the rows without parent go into; menuBar: where the menus go (none: the
    // layout has no menus).
    LayoutWidgets(const WindowLayout& layout, QWidget* client, QMenuBar* menuBar = nullptr);

    // The widget or menu item of a row this set made; an unknown name is a programming error.
    QWidget* widget(std::string_view name) const;
    template <typename T> T* get(std::string_view name) const {
        T* w = qobject_cast<T*>(widget(name));
        assert(w && "a control of another kind");
        return w;
    }
    QAction* action(std::string_view name) const;

    // Moves every widget to its place in another layout of the same window (another mode) and
    // shows or hides those named as that layout says.
    void place(const WindowLayout& layout, std::initializer_list<std::string_view> visibility) const;

private:
    std::map<std::string, QWidget*, std::less<>> widgets_;
    std::map<std::string, QAction*, std::less<>> actions_;
    std::map<std::string, QMenu*, std::less<>> menus_;
};

// The window itself: its class name, caption (when the layout has one), font and frame.
void applyWindowLayout(QWidget* window, const WindowLayout& layout);

QString qText(std::string_view text);

} // namespace tessel
