#include "jobs/JobFrame.h"

#include "jobs/FinalReport.h"
#include "jobs/LineFormat.h"

namespace tessel {

namespace {

// Marks the frame busy for the lifetime of one job.
class BusyScope {
public:
    explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& busy_;
};

std::string fuseLine(const DeviceIdentity& id) {
    return formatLine(" Fuse Bytes:      %02x %02x %02x", id.fuseLow, id.fuseHigh,
                      id.fuseExtended);
}

bool sameFuses(const DeviceIdentity& a, const DeviceIdentity& b) {
    return a.signature == b.signature && a.fuseLow == b.fuseLow && a.fuseHigh == b.fuseHigh &&
           a.fuseExtended == b.fuseExtended;
}

} // namespace

JobFrame::JobFrame(SerialLines& lines, Clock& clock, PortSettings& settings, JobWindow& window,
                   UsbAdapters* adapters)
    : port_(lines, clock, settings, &result_, adapters),
      isp_(port_, [&window](const std::string& line) { window.plainLine(line); }),
      window_(window) {
    port_.setMessagePump([this] { window_.processMessages(); });
}

// The port may still wait while it is destroyed; the window may be gone by then.
JobFrame::~JobFrame() { port_.setMessagePump({}); }

ResultCode JobFrame::run(const JobOutline& job, JobSteps body, const JobStep& recovery) {
    if (busy_) return result::Error;
    BusyScope scope(busy_);
    state_.emplace();
    start(job);
    const bool started = ok();
    steps(body);
    if (started && !ok() && recovery) recovery();
    // A Cancel held through the rewrite that no later step could honour: the job did it all.
    if (state_->cancelPending && ok())
        window_.plainLine(" Cancel came while the VCB was rewritten: it is programmed and verified");
    clockHint();
    if (job.finalReport) finalReport();
    if (state_->lateFailure) fail(*state_->lateFailure);
    reportEnd(job);
    end();
    return result();
}

void JobFrame::steps(JobSteps steps) {
    for (const JobStep& step : steps) {
        if (!ok()) return;
        step();
    }
}

void JobFrame::accept(ResultCode code) {
    if (result() == code) result_.set(result::Ok);
}

ResultCode JobFrame::refuse(ResultCode code) {
    result_.set(code);
    return code;
}

void JobFrame::start(const JobOutline& job) {
    result_.set(result::Ok);
    isp_.resetPageWriter(); // a page left half-loaded by an earlier job is never written
    window_.clearClicks();
    window_.showForJob(job.title, job.blockPane);
    if (port_.fast()) window_.plainLine(" Fast link: datasheet waits, fewer line calls");

    // A port that does not open (busy, missing, not permitted) is named at once: eight enable
    // tries over it would only make it look like a dead light bar. Where nothing could be tried
    // the result is 8, which keeps the report's advice to check the connections and the COM port
    // setting; an adapter the system refused is 32 with its reason.
    if (!port_.open()) {
        window_.errorLine(" " + port_.failure().reason);
        fail(port_.failure().result());
        if (result() == result::ChipNotResponding)
            window_.errorLine(" Error - Light Bar is not responding");
        return;
    }
    // Only a chip that stays silent is "not responding": a failed line call or transfer is 32.
    result_.set(isp_.programmingEnable());
    if (result() == result::ChipNotResponding)
        window_.errorLine(" Error - Light Bar is not responding");
    if (!ok()) return;
    // The rate an adapter answered at, which the next job on it starts with.
    state_->sckHz = port_.link().clockHz();
    if (state_->sckHz)
        window_.plainLine(" FT232R adapter, SCK at " + Ft232rSettings::rateText(*state_->sckHz));

    isp_.identify();
    const DeviceIdentity& id = isp_.identity();
    window_.plainLine(formatLine(" Signature Bytes: %02x %02x %02x", id.signature[0],
                                 id.signature[1], id.signature[2]));
    window_.plainLine(fuseLine(id));
    checkFuses();

    // A part of another size would take the block area's address into its code.
    if (ok() && job.writes && !isp_.identity().isAtmega128()) {
        window_.errorLine(" Light Bar chip is not an ATmega128: nothing is erased or written");
        fail(result::Error);
    }
    window_.processMessages();
}

std::string JobFrame::resultLine() const {
    std::string line = std::string(" ") + resultMessage(result());
    // A port that did not open has said why already.
    if (result() == result::CommSystemError && port_.isOpen() && port_.failure().failed())
        line += ": " + port_.failure().reason;
    return line;
}

void JobFrame::clockHint() {
    const ResultCode verdict = state_->lateFailure.value_or(result());
    const bool verifyError =
        verdict == result::CodeVerifyError || verdict == result::VcbVerifyError;
    if (verifyError && state_->sckHz)
        window_.plainLine(" Through a USB adapter a slower clock may help: lower SckHz in section "
                          "[FTDI] of the INI file (now " +
                          std::to_string(*state_->sckHz) + ")");
}

// Fuses are rewritten only from a reading that repeats itself: a noisy cable that misreads
// them once must not make the job write fuses that could lock the light bar out.
void JobFrame::checkFuses() {
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
        const atmega128::Fuses& wanted = atmega128::kLightBarFuses;
        window_.errorLine(formatLine(" Fuse Bytes could not be corrected to %02x %02x %02x",
                                     wanted.low, wanted.high, wanted.extended));
        fail(result::Error);
    }
}

void JobFrame::end() {
    port_.close();
    window_.processMessages();
    if (result() == result::OperationAborted) window_.errorLine(" Operation aborted");
    if (result() != result::EraseCancelled) window_.waitForOk(" Click OK to exit");
    window_.close();
    window_.processMessages();
}

void JobFrame::noteBlockRead(std::optional<std::int32_t> serialNumber) {
    if (!state_->blockRead) state_->serialBefore = serialNumber;
    state_->blockRead = true;
    state_->serialAfter = serialNumber;
}

void JobFrame::noteFirmwareFile(const std::string& file, const std::string& product,
                                const std::string& version) {
    state_->firmwareFile = file;
    state_->firmwareProduct = product;
    state_->firmwareVersion = version;
}

void JobFrame::reportEnd(const JobOutline& job) {
    const JobState& state = *state_;
    JobSummary summary{.title = job.title,
                       .result = result(),
                       .port = port_.portIndex(),
                       .serialBefore = state.serialBefore,
                       .serialAfter = state.serialAfter,
                       .backupFiles = state.lightBar.backupFiles(),
                       .restoreNeeded = state.rewriteFailed && state.lightBar.restoreNeeded(),
                       .firmware = state.lightBar.firmware,
                       .firmwareOr = state.lightBar.firmwareOr,
                       .linkFailure = port_.failure().reason,
                       .sckHz = state.sckHz,
                       .firmwareFile = state.firmwareFile,
                       .firmwareProduct = state.firmwareProduct,
                       .firmwareVersion = state.firmwareVersion};
    window_.jobEnded(summary);
    if (!jobEndListener_) return;
    if (const auto problem = jobEndListener_(summary)) window_.plainLine(" " + *problem);
}

void JobFrame::finalReport() {
    for (const auto& line : finalReportLines(result()))
        window_.errorLine(result() == result::CommSystemError ? resultLine() : line);
    rewriteReport();
}

} // namespace tessel
