#pragma once

#include "jobs/BlockBackup.h"
#include "jobs/JobState.h"
#include "jobs/JobSummary.h"
#include "jobs/JobWindow.h"
#include "link/IspInstructions.h"
#include "link/IspPort.h"
#include "support/ResultCode.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

namespace tessel {

// What the frame needs to know of a job.
struct JobOutline {
    std::string title;       // the job window's title
    bool blockPane = false;  // whether the window shows the block pane
    bool writes = false;     // erases or writes flash: refused on a chip other than an ATmega128
    bool finalReport = true; // ends with the report of its result
};

// Told of every job that ran, once its final report is written and before the window waits for
// OK; returns why the job could not be recorded (logged in the job window), none when it was.
using JobEndListener = std::function<std::optional<std::string>(const JobSummary&)>;

// A step of a job. Steps run in turn while the job's result is 0: the first failure decides the
// result, and no step after it runs.
using JobStep = std::function<void()>;
using JobSteps = std::initializer_list<JobStep>;

// The frame every job runs in: the port and the programming instructions, the job's result, job
// start and end with the final report, the long loops over many bytes, the backup before a write
// and the confirmed erase with the stretch in which the light bar's block is rewritten.
class JobFrame {
public:
    // The window's message pump runs from the port's line operations and waits (see IspPort).
    // adapters: where a COM port mapped to a USB adapter ("ftdi:...") finds it.
    JobFrame(SerialLines& lines, Clock& clock, PortSettings& settings, JobWindow& window,
             UsbAdapters* adapters = nullptr);
    ~JobFrame();
    JobFrame(const JobFrame&) = delete;
    JobFrame& operator=(const JobFrame&) = delete;

    IspPort& port() { return port_; }
    const IspPort& port() const { return port_; }
    IspInstructions& isp() { return isp_; }
    const IspInstructions& isp() const { return isp_; }
    JobWindow& window() { return window_; }
    BlockBackup& backup() { return backup_; }
    const BlockBackup& backup() const { return backup_; }

    // --- one job at a time (JobFrame.cpp) ------------------------------------------------------
    // Refused while a job runs (Error, nothing touched). Otherwise: fresh job state, job start,
    // the steps while the result is 0, then recovery when a step failed after a good start (it
    // puts the windows right and never talks to the light bar), the final report when the job
    // has one, and job end.
    ResultCode run(const JobOutline& job, JobSteps steps, const JobStep& recovery = {});
    // Runs steps in turn while the result is 0; also within a step.
    void steps(JobSteps steps);
    bool busy() const { return busy_; }
    void setJobEndListener(JobEndListener listener) { jobEndListener_ = std::move(listener); }

    // What the job read and was given, for its summary: a block read from the light bar (its
    // serial number; none when there was no block), and a firmware job's file and identity.
    void noteBlockRead(std::optional<std::int32_t> serialNumber);
    void noteFirmwareFile(const std::string& file, const std::string& product,
                          const std::string& version);

    // The result of the current or last job.
    ResultCode result() const { return result_.code(); }
    bool ok() const { return result_.ok(); }
    // Stores a failure unless an earlier one is stored.
    void fail(ResultCode code) { result_.fail(code); }
    // The result's line for the log: its message, and for a link that failed in the job (32)
    // the port's or the adapter's reason, which the log thus gives once.
    std::string resultLine() const;
    // A failure the log has shown in full already: the result once the final report (which
    // would repeat it) is written, for the job's end and summary.
    void failAfterReport(ResultCode code) { state_->lateFailure = code; }
    // Sets the result back to 0 when it is code: a failure this job expects.
    void accept(ResultCode code);
    // A job refused before it starts: the result becomes code, nothing else is touched.
    ResultCode refuse(ResultCode code);

    // --- long loops over many bytes (JobLoops.cpp) -------------------------------------------
    // What a loop's step says after its byte: go on, stop at once, or stop after this byte's
    // progress point.
    enum class Next { Byte, Stop, Last };
    struct ByteLoop {
        std::size_t from = 0, to = 0; // the bytes [from, to)
        std::size_t every = 64;       // a progress point every 64 or 128 counted bytes
        std::size_t total = 0;        // the count that makes 100 %
        bool countDone = false;       // count the bytes done (i - from + 1), not the index i
        ResultCode abortCode = result::OperationAborted; // a Cancel at a progress point
    };
    // Runs step(i) for each byte while the result stays 0, with the progress points (progress,
    // messages, Cancel test). Returns where it stopped, as a for loop leaves its index: the byte
    // it broke off at, else the one after the last.
    std::size_t runLoop(const ByteLoop& loop, const std::function<Next(std::size_t)>& step);
    // A progress line naming the step, the abort controls, and messages.
    void beginLongStep(const std::string& line);
    // The final progress; on success the progress line gives way to successLine. Returns ok().
    bool endLongStep(int percent, const std::string& successLine);
    static int percentOf(std::size_t n, std::size_t total);

    // --- nothing lost (BlockSafety.cpp) --------------------------------------------------------
    // Reads the block area (only what this job has not read yet) and, before an erase or a write
    // of the data memory, the EEPROM for a backup. The files are saved only when the job goes on
    // to write (eraseAndRewrite after OK, rewrite), before anything is erased or written, and
    // named in the log; a job that stops before (No, Cancel, a failure) leaves none. A copy
    // that cannot be saved stops the job with 11 before anything is written.
    void backUp(std::int32_t serialNumber, bool withEeprom);
    // Reads the whole block area into wholeBlockArea() (withdrawn bytes as "~"),
    // but not again the bytes this job has read already.
    void readWholeBlockArea();
    // The first count bytes of the block area as a step of this job has just read them; kept
    // for readWholeBlockArea() unless the job has begun to rewrite the block.
    void noteBlockAreaRead(const BlockArea& area, std::size_t count);
    const BlockArea& wholeBlockArea() const { return state_->wholeBlockArea; }
    // Asks for OK, erases the chip and runs the rewrite inside the rewrite stretch; Cancel gives
    // result 20 and runs nothing.
    void eraseAndRewrite(const std::string& firstLine, const std::string& secondLine,
                         const JobStep& write);
    // Runs the rewrite of a block written without an erase inside the rewrite stretch.
    void rewrite(const JobStep& write);

    // --- what the light bar holds (BlockSafety.cpp) --------------------------------------------
    // The current or last job's view of the light bar; each change is told to the window.
    const LightBarState& lightBarState() const { return state_->lightBar; }
    void noteBlock(LightBarState::Block block);
    void noteFirmware(LightBarState::Firmware firmware);
    // A write that makes the block area read as `reads`, as far as it reached the chip.
    void noteBlockWritten(LightBarState::Block reads, Delivery delivery);

private:
    class RewriteStretch;

    // Shows the window, opens the port, enters programming mode, identifies the chip and
    // corrects its fuses. The result tells whether the job may go on.
    void start(const JobOutline& job);
    void end();
    void finalReport();
    void checkFuses();
    // A verify error through an adapter: a hint to slow its clock.
    void clockHint();
    // After a rewrite that failed: what the light bar holds now, and where a lost block was saved
    // (the window's last words say how to put it back: JobWindow::jobEnded).
    void rewriteReport();
    void lightBarChanged() { window_.lightBarStateChanged(state_->lightBar); }
    // Saves the backup backUp read, once; false (result 11) when it cannot be saved.
    bool saveBackup();
    void logBackup();
    // The summary to the window and the listener; a job that could not be recorded says so.
    void reportEnd(const JobOutline& job);

    JobResult result_;
    IspPort port_;
    IspInstructions isp_;
    JobWindow& window_;
    BlockBackup backup_;
    bool busy_ = false;
    JobEndListener jobEndListener_;
    std::optional<JobState> state_{std::in_place}; // made afresh at every job's start
};

} // namespace tessel
