#include "station/BayRunner.h"

#include "support/ResultCode.h"

namespace tessel {

BayRunner::BayRunner(ChipProgrammer& engine, EventJobWindow& window, Clock& clock,
                     SerialLedger& ledger, BayControl& control, BaySetup setup, BayHooks hooks)
    : engine_(engine), clock_(clock), ledger_(ledger), control_(control), window_(window),
      setup_(std::move(setup)), hooks_(std::move(hooks)) {
    window_.setHooks({.cancelled =
                          [this] {
                              const bool outside =
                                  hooks_.window.cancelled && hooks_.window.cancelled();
                              return cancelRequested() || outside;
                          },
                      .messages =
                          [this] {
                              takeCommands();
                              if (hooks_.window.messages) hooks_.window.messages();
                          },
                      .running = hooks_.window.running,
                      .rewriting = hooks_.window.rewriting,
                      .lightBarChanged = hooks_.window.lightBarChanged});
}

void BayRunner::emit(BayEvent event) {
    window_.send(std::move(event));
}

void BayRunner::handle(const std::string& command) {
    if (command == "start")
        start_ = true;
    else if (command == "cancel")
        cancel_ = true;
    else if (command == "quit")
        quit_ = true;
}

void BayRunner::takeCommands() {
    while (const auto command = control_.next(0)) {
        handle(*command);
        if (*command == "quit") break;
    }
}

bool BayRunner::cancelRequested() {
    takeCommands();
    const bool cancel = cancel_;
    cancel_ = false;
    return cancel;
}

// Without --auto the operator's Start; with it, a new chip first (the station then starts it).
bool BayRunner::awaitStart() {
    start_ = cancel_ = false;
    if (setup_.autoStart && !awaitNewChip()) return false;
    while (!quit_ && !start_)
        if (const auto command = control_.next(-1)) handle(*command);
    return !quit_;
}

// A signature read once a second, the chip held in reset only for it; a chip just programmed
// must be taken out first.
bool BayRunner::awaitNewChip() {
    window_.setQuiet(true);
    for (;;) {
        takeCommands();
        if (quit_ || start_) break;
        const bool answers = engine_.chipAnswers();
        if (answers && !unitInPlace_) break;
        if (!answers) unitInPlace_ = false;
        if (const auto command = control_.next(1000)) handle(*command);
    }
    window_.setQuiet(false);
    if (quit_) return false;
    if (!start_) emit({.kind = BayEvent::Kind::Present});
    return true;
}

void BayRunner::run() {
    emit({.kind = BayEvent::Kind::Ready, .port = setup_.numbering.port});
    std::string why = "told to stop";
    while (!quit_) {
        emit({.kind = BayEvent::Kind::Waiting});
        if (!awaitStart()) break;
        const std::int64_t left = ledger_.numbersLeft();
        if (left <= 0) {
            why = "No serial number is left in the station's range";
            break;
        }
        runUnit();
    }
    emit({.kind = BayEvent::Kind::Stopped, .text = why});
}

void BayRunner::runUnit() {
    if (hooks_.beforeUnit) hooks_.beforeUnit();
    emit({.kind = BayEvent::Kind::Started});
    StationNumbering numbering(ledger_, setup_.numbering, [this](std::int32_t n, UnitKind unit) {
        emit({.kind = BayEvent::Kind::Serial, .serialNumber = n, .unit = unit});
    });
    const std::uint64_t began = clock_.micros();
    const ResultCode result = engine_.programUnit(
        {.image = setup_.image, .path = &setup_.firmwarePath, .numbering = std::ref(numbering)});
    const double seconds = static_cast<double>(clock_.micros() - began) / 1e6;
    const auto serial = engine_.unitSerialNumber();
    if (serial) {
        const auto why =
            ledger_.record({.event = result == result::Ok ? LedgerEntry::Event::Passed
                                                          : LedgerEntry::Event::Failed,
                            .serialNumber = *serial,
                            .bay = setup_.numbering.bay,
                            .port = setup_.numbering.port,
                            .seconds = seconds,
                            .result = result,
                            .message = resultMessage(result)});
        if (why)
            emit({.kind = BayEvent::Kind::Line,
                  .style = LineStyle::Error,
                  .text = " Serial-number ledger not written: " + *why});
    }
    emit({.kind = BayEvent::Kind::Unit,
          .port = setup_.numbering.port,
          .serialNumber = serial,
          .unit = numbering.unitKind(),
          .result = result,
          .message = resultMessage(result),
          .seconds = seconds,
          .firmwareSha256 = setup_.firmwareSha256,
          .backups = window_.backups()});
    unitInPlace_ = !(hooks_.afterUnit && hooks_.afterUnit());
}

} // namespace tessel
