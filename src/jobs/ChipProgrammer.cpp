#include "jobs/ChipProgrammer.h"

#include "jobs/LineFormat.h"
#include "jobs/ResultCode.h"

namespace tessel {

ChipProgrammer::ChipProgrammer(SerialLines& lines, Clock& clock, PortSettings& settings,
                               JobWindow& window, BlockHost& host)
    : port_(lines, clock, settings),
      isp_(port_, [&window](const std::string& line) { window.plainLine(line); }), window_(window),
      host_(host) {
    port_.setMessagePump([this] { window_.processMessages(); });
}

// The port may still wait while it is destroyed; the window may be gone by then.
ChipProgrammer::~ChipProgrammer() {
    port_.setMessagePump({});
}

void ChipProgrammer::fail(int code) {
    if (port_.result() == result::Ok) port_.setResult(code);
}

int ChipProgrammer::runJob(const std::string& title, bool withBlockPane, Access access,
                           Report report, const std::function<void()>& body) {
    if (busy_) return result::Error;
    JobScope scope(*this);
    jobStart(title, withBlockPane, access);
    body();
    if (report == Report::Final) finalReport();
    jobEnd();
    return result();
}

int ChipProgrammer::percentOf(std::size_t n, std::size_t total) {
    return total == 0 ? 100 : static_cast<int>(n * 100 / total);
}

std::size_t ChipProgrammer::runLoop(const ByteLoop& loop,
                                    const std::function<Step(std::size_t)>& step) {
    std::size_t i = loop.from;
    for (; i < loop.to && ok(); ++i) {
        const Step s = step(i);
        if (s == Step::Stop) break;
        const std::size_t count = loop.countDone ? i - loop.from + 1 : i;
        if (count % loop.every == 0) {
            window_.setProgress(percentOf(count, loop.total));
            window_.processMessages();
            if (window_.aborted()) {
                fail(loop.abortCode);
                break;
            }
        }
        if (s == Step::Last) break;
    }
    return i;
}

void ChipProgrammer::beginLongStep(const std::string& line) {
    window_.progressLine(line);
    window_.showAbortControls();
    window_.processMessages();
}

bool ChipProgrammer::endLongStep(int percent, const std::string& successLine) {
    window_.setProgress(percent);
    if (!ok()) return false;
    window_.removeLastLine();
    window_.successLine(successLine);
    return true;
}

namespace {
std::string fuseLine(const DeviceIdentity& id) {
    return formatLine(" Fuse Bytes:      %02x %02x %02x", id.fuseLow, id.fuseHigh,
                      id.fuseExtended);
}

bool sameFuses(const DeviceIdentity& a, const DeviceIdentity& b) {
    return a.signature == b.signature && a.fuseLow == b.fuseLow && a.fuseHigh == b.fuseHigh &&
           a.fuseExtended == b.fuseExtended;
}
} // namespace

void ChipProgrammer::jobStart(const std::string& title, bool withBlockPane, Access access) {
    port_.setResult(result::Ok);
    isp_.resetPageWriter(); // a page left half-loaded by an earlier job is never written
    window_.clearClicks();
    window_.showForJob(title, withBlockPane);
    if (port_.fast()) window_.plainLine(" Fast link: datasheet waits, fewer line calls");
    port_.open();

    // Programming enable decides alone: its 8 replaces the 32 of a port that could not open.
    port_.setResult(isp_.programmingEnable());
    if (!ok()) {
        window_.errorLine(" Error - Light Bar is not responding");
        return;
    }

    isp_.identify();
    const DeviceIdentity& id = isp_.identity();
    window_.plainLine(formatLine(" Signature Bytes: %02x %02x %02x", id.signature[0],
                                 id.signature[1], id.signature[2]));
    window_.plainLine(fuseLine(id));
    checkFuses();

    // A part of another size would take the block address 0x1F000 into its code.
    if (ok() && access == Access::Write && !isp_.identity().isAtmega128()) {
        window_.errorLine(" Light Bar chip is not an ATmega128: nothing is erased or written");
        fail(result::Error);
    }
    window_.processMessages();
}

// Fuses are rewritten only from a reading that repeats itself: a noisy cable that misreads
// them once must not make the job write fuses that could lock the light bar out.
void ChipProgrammer::checkFuses() {
    if (!ok() || !isp_.fusesNeedCorrection()) return;
    const DeviceIdentity first = isp_.identity();
    isp_.identify();
    if (!ok()) return;
    if (!sameFuses(first, isp_.identity())) {
        window_.plainLine(fuseLine(isp_.identity()));
        window_.errorLine(" Fuse Bytes read differently twice: check the cable");
        fail(result::Error);
        return;
    }
    if (!isp_.fusesNeedCorrection()) return; // the second reading is the one that counts
    if (!isp_.correctFuses() || !ok()) return;
    window_.plainLine(fuseLine(isp_.identity()));
    if (isp_.fusesNeedCorrection()) {
        window_.errorLine(" Fuse Bytes could not be corrected to e0 d9 fd");
        fail(result::Error);
    }
}

void ChipProgrammer::jobEnd() {
    port_.close();
    window_.processMessages();
    if (result() == result::OperationAborted) window_.errorLine(" Operation aborted");
    if (result() != result::EraseCancelled) window_.waitForOk(" Click OK to exit");
    window_.close();
    window_.processMessages();
}

void ChipProgrammer::finalReport() {
    for (const auto& line : finalReportLines(result())) window_.errorLine(line);
}

void ChipProgrammer::confirmedErase(const std::string& firstLine, const std::string& secondLine) {
    if (!ok()) return;
    window_.plainLine(firstLine);
    if (!secondLine.empty()) window_.plainLine(secondLine);
    window_.setProgress(0);
    window_.progressLine(" Click OK to Continue or Cancel to Exit");
    const bool confirmed = window_.askOkCancel();
    window_.removeLastLine();
    if (!confirmed) {
        fail(result::EraseCancelled);
        return;
    }
    isp_.chipErase();
    isp_.waitAfterErase();
    window_.removeLastLine();
    window_.successLine(" Light Bar is Erased");
}

} // namespace tessel
