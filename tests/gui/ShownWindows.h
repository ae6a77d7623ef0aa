#pragma once

#include <QApplication>
#include <QEvent>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <utility>

namespace tessel::testing {

// Runs a step for every window the program shows (a message box, a file dialog, a dialog), as an
// operator answers what appears: the step is queued the moment the window shows, so it runs in
// the loop that waits for the window (a modal loop is entered only after the showing), and only
// while the window still exists.
class ShownWindows : public QObject {
public:
    explicit ShownWindows(std::function<void(QWidget&)> step) : step_(std::move(step)) {
        qApp->installEventFilter(this);
    }
    ~ShownWindows() override { qApp->removeEventFilter(this); }
    ShownWindows(const ShownWindows&) = delete;
    ShownWindows& operator=(const ShownWindows&) = delete;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show && object->isWidgetType()) {
            QPointer<QWidget> window = static_cast<QWidget*>(object);
            if (window->isWindow())
                QMetaObject::invokeMethod(
                    this, [this, window] { if (window) step_(*window); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void(QWidget&)> step_;
};

} // namespace tessel::testing
