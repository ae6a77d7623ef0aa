#include "station/EventJobWindow.h"

namespace tessel {

void EventJobWindow::send(BayEvent event) {
    if (quiet_) return;
    event.bay = bay_;
    sink_(event);
}

void EventJobWindow::showForJob(const std::string& title, bool) {
    step_.reset();
    percent_ = -1;
    backups_.clear();
    if (hooks_.running) hooks_.running(true);
    send({.kind = BayEvent::Kind::Line, .style = LineStyle::Plain, .text = title});
}

void EventJobWindow::settleStep() {
    if (!step_) return;
    send({.kind = BayEvent::Kind::Line, .style = LineStyle::Progress, .text = *step_});
    step_.reset();
}

void EventJobWindow::appendLine(LineStyle style, const std::string& text) {
    settleStep();
    if (style == LineStyle::Progress) {
        step_ = text;
        send({.kind = BayEvent::Kind::Step, .text = text});
        return;
    }
    send({.kind = BayEvent::Kind::Line, .style = style, .text = text});
}

void EventJobWindow::removeLastLine() {
    if (step_)
        step_.reset();
    else
        send({.kind = BayEvent::Kind::Unline});
}

void EventJobWindow::setProgress(int percent) {
    if (percent == percent_) return;
    percent_ = percent;
    send({.kind = BayEvent::Kind::Progress, .percent = percent});
}

void EventJobWindow::close() {
    settleStep();
    if (hooks_.running) hooks_.running(false);
}

} // namespace tessel
