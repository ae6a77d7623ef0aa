#pragma once

#include "app/ControlValues.h"
#include "app/KeyFilter.h"

#include <QObject>

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>

class QAbstractButton;
class QLineEdit;
class QWidget;

namespace tessel {

// The dialogs' widgets bound to their control values by name: a change of the values shows in
// the widget, an edit or click in the widget goes into the values. Text fields follow the field
// rules with their key filter (applyFieldRules: Tab moves on, Ctrl+A selects, Escape empties,
// Enter never types), white while focused and the face colour otherwise; input methods and drops
// are off.
class BoundFields : public QObject {
public:
    BoundFields(ControlValues& values, QWidget* face);
    ~BoundFields() override;
    BoundFields(const BoundFields&) = delete;
    BoundFields& operator=(const BoundFields&) = delete;

    void bindField(QLineEdit* field, std::string control, std::optional<KeyFilter> filter);
    void bindCheck(QAbstractButton* button, std::string control);
    // Shows every bound control's value.
    void refresh();

    // Told when a bound text field gets or loses the focus.
    std::function<void(const std::string& control)> onFocusIn;
    std::function<void(const std::string& control)> onFocusOut;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Field {
        QLineEdit* edit;
        std::optional<KeyFilter> filter;
    };
    void show(const std::string& control);

    ControlValues& values_;
    QWidget* face_;
    std::size_t observer_;
    std::map<std::string, Field, std::less<>> fields_;
    std::map<std::string, QAbstractButton*, std::less<>> checks_;
    std::map<QObject*, std::string> names_;
};

} // namespace tessel
