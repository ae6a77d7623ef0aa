#pragma once

#include "block/BlockArea.h"
#include "firmware/FirmwareId.h"
#include "firmware/FirmwareImage.h"
#include "jobs/BlockHost.h"
#include "jobs/BlockView.h"
#include "jobs/JobWindow.h"
#include "jobs/ResultCode.h"
#include "link/IspInstructions.h"
#include "link/IspPort.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tessel {

// The device engine: the port, the programming instructions, the job frame and every job an
// operator runs on a light bar. Each job entry point runs to its end and returns its result code
// (0 success, see jobs/ResultCode.h); it reports to the operator through the job window and asks
// the main window (the block host) to parse, show and render block texts.
class ChipProgrammer {
public:
    // The window's message pump runs from the port's line operations and waits (see IspPort).
    ChipProgrammer(SerialLines& lines, Clock& clock, PortSettings& settings, JobWindow& window,
                   BlockHost& host);
    ~ChipProgrammer();
    ChipProgrammer(const ChipProgrammer&) = delete;
    ChipProgrammer& operator=(const ChipProgrammer&) = delete;

    // Port selection (1..4, anything else selects none) and the COM menu's availability probe.
    void selectPort(int index) { port_.selectPort(index); }
    int portIndex() const { return port_.portIndex(); }
    bool portPresent(int n) { return port_.portPresent(n); }
    const std::string& lastErrorText() const { return port_.lastErrorText(); }
    // The link mode of the jobs to come; the fast link's jobs say so in their first line.
    void setLinkMode(LinkMode mode) { port_.setLinkMode(mode); }
    LinkMode linkMode() const { return port_.linkMode(); }

    // Result of the current or last job.
    int result() const { return port_.result(); }
    // True while a job runs. Every entry point called meanwhile returns at once with result
    // code 1 and touches neither the port, the views nor the window.
    bool isBusy() const { return busy_; }

    // Block jobs.
    int readBlock(BlockArea& area);
    int verifyBlock(const BlockArea& reference);
    int programBlock(const BlockArea& reference);
    int convertBlock(int targetFormat);
    int initDefaultBlock();

    // Firmware and data memory jobs. path may be null (no file named in the log).
    int verifyFirmware(const FirmwareImage& image, const std::string* path);
    int programFirmware(const FirmwareImage& image, const std::string* path);
    int readDataMemory(std::uint8_t* buffer, std::uint16_t count);

    // What the last jobs saw: the light bar's block as read before anything was written, the
    // block written or compared with, and the light bar's block read back (the read and verify
    // jobs read into this one).
    const BlockView& beforeView() const { return before_; }
    const BlockView& referenceView() const { return reference_; }
    const BlockView& afterView() const { return after_; }
    const DeviceIdentity& identity() const { return isp_.identity(); }
    const FirmwareId& fileId() const { return fileId_; }
    const FirmwareId& chipId() const { return chipId_; }

private:
    // --- job frame -------------------------------------------------------------------------
    // Whether a job may erase or write flash: such jobs refuse a chip that is not an ATmega128.
    enum class Access { Read, Write };

    // Marks the engine busy for the lifetime of one job.
    class JobScope {
    public:
        explicit JobScope(ChipProgrammer& engine) : busy_(engine.busy_) { busy_ = true; }
        ~JobScope() { busy_ = false; }
        JobScope(const JobScope&) = delete;
        JobScope& operator=(const JobScope&) = delete;

    private:
        bool& busy_;
    };

    // Whether the job ends with the final report of its result.
    enum class Report { Final, None };

    // The frame of every job entry point: refused while the engine is busy (result 1, nothing
    // touched); otherwise job start, the body (run whatever the start's result: each of its
    // steps checks the result), the final report when asked for, and job end.
    int runJob(const std::string& title, bool withBlockPane, Access access, Report report,
               const std::function<void()>& body);
    // Shows the window, opens the port, enters programming mode, identifies the chip and
    // corrects its fuses. The result tells whether the job may go on.
    void jobStart(const std::string& title, bool withBlockPane, Access access);
    void jobEnd();
    void finalReport();
    // Asks for OK, then erases the chip; Cancel gives result 20.
    void confirmedErase(const std::string& firstLine, const std::string& secondLine = {});
    void checkFuses();

    // Stores a result code only while no earlier step has failed: the first failure decides.
    void fail(int code);
    bool ok() const { return result() == 0; }

    // --- long loops over many bytes ----------------------------------------------------------
    // What a loop's step says after its byte: go on, stop at once, or stop after this byte's
    // progress point.
    enum class Step { Next, Stop, Last };
    struct ByteLoop {
        std::size_t from = 0, to = 0; // the bytes [from, to)
        std::size_t every = 64;       // a progress point every 64 or 128 counted bytes
        std::size_t total = 0;        // the count that makes 100 %
        bool countDone = false;       // count the bytes done (i - from + 1), not the index i
        int abortCode = result::OperationAborted; // the result of a Cancel at a progress point
    };
    // Runs step(i) for each byte while the result stays 0, with the progress points (progress,
    // messages, Cancel test). Returns where it stopped, as a for loop leaves its index: the byte
    // it broke off at, else the one after the last.
    std::size_t runLoop(const ByteLoop& loop, const std::function<Step(std::size_t)>& step);
    // A progress line naming the step, the abort controls, and messages.
    void beginLongStep(const std::string& line);
    // The final progress; on success the progress line gives way to successLine. Returns ok().
    bool endLongStep(int percent, const std::string& successLine);
    static int percentOf(std::size_t n, std::size_t total);

    // --- block jobs (jobs/BlockJobs.cpp) ----------------------------------------------------
    // The bodies of the longer jobs, inside their frames.
    void programBlockSteps(const BlockArea& reference);
    void convertBlockSteps(int targetFormat);
    void initDefaultBlockSteps();
    void readBlockArea(BlockView& view);
    void compact(BlockView& view);
    void showBlock(const BlockArea& area);
    void writeBlock(BlockView& view);
    bool compareBlocks(BlockView& lightBar, BlockView& reference);
    // Byte comparison from the titles with the verify lines; false on any difference.
    bool compareTexts(const BlockView& lightBar, const BlockView& reference);
    // n bytes from l0 and r0; the first difference removes the progress line and shows the
    // "<VCB>" and "< LB>" lines of the line it falls in.
    bool compareBytes(const BlockArea& lightBar, std::size_t l0, const BlockArea& reference,
                      std::size_t r0, std::size_t n);
    void canonicalize(BlockArea& area);
    bool needsNoErase(const BlockView& reference);
    // Writes the reference block, reads it back and compares; a difference gives 28.
    void writeAndVerify();

    // --- firmware and data memory jobs (jobs/FirmwareJobs.cpp) --------------------------------
    void programFirmwareSteps(const FirmwareImage& image, const std::string* path);
    // Compares the code area with the image. reportFailure: name a link failure in the log
    // (the verify job has no final report to do it).
    void firmwareVerification(const FirmwareImage& image, bool reportFailure);
    void fileLines(const std::string* path);
    // An image without a byte other than 0xFF is no firmware: result 3, and no job starts.
    bool refuseEmptyImage(const FirmwareImage& image);
    // Refuses, before the erase, a kept block that would not end inside the block area.
    void checkKeptBlockFits();
    void writeKeptBlock();
    void verifyKeptBlock(std::size_t offset, std::size_t n);

    IspPort port_;
    IspInstructions isp_;
    JobWindow& window_;
    BlockHost& host_;
    bool busy_ = false;

    BlockView before_;
    BlockView reference_;
    BlockView after_;
    BlockArea lightBarArea_{}; // the whole block area as read for the no-erase test
    BlockArea work_{};         // the in-place update's work area
    BlockView display_;

    FirmwareId fileId_;
    FirmwareId chipId_;
    std::array<std::uint8_t, kIdentifiedBytes> chipCode_{};
    std::array<std::uint8_t, 4096> dataMemory_{};
};

} // namespace tessel
