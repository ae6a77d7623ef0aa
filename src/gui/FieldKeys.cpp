#include "gui/FieldKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace tessel {

namespace {

KeyKind kindOf(const QKeyEvent* event, char& ch) {
    if (event->matches(QKeySequence::SelectAll)) return KeyKind::SelectAll;
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut) ||
        event->matches(QKeySequence::Paste))
        return KeyKind::Clipboard;
    const QString typed = event->text();
    if (typed.isEmpty()) return KeyKind::Navigation; // arrows, Home, End, Shift+Tab
    // The rules see Latin-1; a character beyond it is one no filter takes.
    const char16_t c = typed.at(0).unicode();
    ch = c <= 0xFF ? static_cast<char>(c) : '?';
    return kindOfTyped(ch);
}

} // namespace

bool applyFieldRules(QLineEdit* edit, std::optional<KeyFilter> filter, const QKeyEvent* event,
                     const std::function<void(const std::string&)>& edited) {
    char ch = 0;
    const KeyKind kind = kindOf(event, ch);
    FieldText field{edit->text().toLatin1().toStdString(), 0, 0};
    if (edit->hasSelectedText()) {
        field.selectionStart = static_cast<std::size_t>(edit->selectionStart());
        field.selectionLength = static_cast<std::size_t>(edit->selectedText().size());
    } else {
        field.selectionStart = static_cast<std::size_t>(edit->cursorPosition());
    }
    const FieldText before = field;
    const FieldKeyOutcome outcome = fieldKey(filter, field, kind, ch);
    if (field.text != before.text) {
        edit->setText(QString::fromLatin1(field.text.data(), static_cast<qsizetype>(field.text.size())));
        edit->setCursorPosition(static_cast<int>(field.selectionStart));
        if (edited) edited(edit->text().toStdString());
    } else if (field.selectionLength != before.selectionLength) {
        edit->setSelection(static_cast<int>(field.selectionStart),
                           static_cast<int>(field.selectionLength));
    }
    if (outcome.beep) QApplication::beep();
    switch (outcome.action) {
    case FieldKeyOutcome::Action::Toolkit: return false;
    case FieldKeyOutcome::Action::Swallow: return true;
    case FieldKeyOutcome::Action::Type:
        edit->insert(QString(QChar(static_cast<char16_t>(static_cast<unsigned char>(outcome.ch)))));
        return true;
    }
    return true;
}

} // namespace tessel
