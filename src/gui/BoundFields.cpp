#include "gui/BoundFields.h"

#include "gui/FieldKeys.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>

namespace tessel {

namespace {

void setBase(QLineEdit* edit, const QColor& colour) {
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, colour);
    edit->setPalette(p);
}

} // namespace

BoundFields::BoundFields(ControlValues& values, QWidget* face)
    : QObject(face), values_(values), face_(face) {
    observer_ = values_.addObserver([this](const std::vector<std::string>& changed) {
        for (const auto& control : changed) show(control);
    });
}

BoundFields::~BoundFields() { values_.removeObserver(observer_); }

void BoundFields::bindField(QLineEdit* edit, std::string control, std::optional<KeyFilter> filter) {
    edit->setObjectName(QString::fromStdString(control));
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setAcceptDrops(false);
    edit->setDragEnabled(false);
    setBase(edit, face_->palette().color(QPalette::Button));
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textChanged, this, [this, control](const QString& text) {
        values_.setText(control, text.toStdString());
    });
    fields_[control] = {edit, filter};
    names_[edit] = control;
    show(control);
}

void BoundFields::bindCheck(QAbstractButton* button, std::string control) {
    button->setObjectName(QString::fromStdString(control));
    connect(button, &QAbstractButton::toggled, this,
            [this, control](bool on) { values_.setChecked(control, on); });
    checks_[control] = button;
    show(control);
}

void BoundFields::refresh() {
    for (const auto& [control, field] : fields_) show(control);
    for (const auto& [control, button] : checks_) show(control);
}

void BoundFields::show(const std::string& control) {
    if (const auto f = fields_.find(control); f != fields_.end()) {
        const QString text = QString::fromStdString(values_.text(control));
        if (f->second.edit->text() != text) f->second.edit->setText(text);
        f->second.edit->setEnabled(values_.isEnabled(control));
    } else if (const auto b = checks_.find(control); b != checks_.end()) {
        if (b->second->isChecked() != values_.isChecked(control))
            b->second->setChecked(values_.isChecked(control));
        b->second->setEnabled(values_.isEnabled(control));
    }
}

bool BoundFields::eventFilter(QObject* watched, QEvent* event) {
    const auto name = names_.find(watched);
    // A field being destroyed (its window going) is no longer a line edit: nothing to filter.
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (name == names_.end() || !edit) return false;
    const std::string& control = name->second;
    switch (event->type()) {
    case QEvent::FocusIn:
        setBase(edit, Qt::white);
        if (onFocusIn) onFocusIn(control);
        return false;
    case QEvent::FocusOut:
        setBase(edit, face_->palette().color(QPalette::Button));
        if (onFocusOut) onFocusOut(control);
        return false;
    case QEvent::KeyPress:
        return applyFieldRules(edit, fields_.at(control).filter, static_cast<QKeyEvent*>(event),
                               [&](const std::string& text) { values_.setText(control, text); });
    default: return false;
    }
}

} // namespace tessel
