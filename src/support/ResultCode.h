#pragma once

#include <span>
#include <string_view>

namespace tessel {

// Every code the program ends with, from a job's step to the process's exit status: the device
// jobs' result codes 0 to 32 (0 is success, every other code a failure with a fixed message),
// the command line's own codes (those of sysexits.h), and the codes of a program stopped from
// outside (128 + the signal's number). The codes are plain enumerators in their own namespace: a
// code reads as the integer it is, but no integer becomes a code without a cast.
namespace result {
enum Code : int {
    Ok = 0,
    Error = 1,
    MemoryAllocationError = 2,
    HexFileFormatError = 3,
    ChecksumError = 4,
    NoValidVcb = 5,
    VcbAlreadyExists = 6,
    ReferenceVcbNotValid = 7,
    ChipNotResponding = 8,
    OutputFileCancel = 9,
    OutputFileOpenError = 10,
    OutputFileWriteError = 11,
    OutputFileCloseError = 12,
    InputFileCancel = 13,
    InputFileOpenError = 14, // any input file that cannot be read, whatever its kind
    InputFileReadError = 15,
    InputFileCloseError = 16,
    UnusedVcbVerifyError = 17, // never produced: the verify job's is 28
    VcbFormatsDoNotMatch = 18,
    CodeVerifyError = 19,
    EraseCancelled = 20,
    OperationCancelled = 21,
    SerialNumberChangeCancelled = 22,
    OperationAborted = 23,
    VerifyAborted = 24,
    InvalidExtantVcb = 25,
    IncorrectVcbFormatNumber = 26,
    ConvertingFormatNumberIsOk = 27,
    VcbVerifyError = 28,
    VcbFormat1Required = 29,
    VcbFormat2Required = 30,
    UnknownVcbFormatRequired = 31,
    CommSystemError = 32,

    Usage = 64,        // a command line that does not parse (EX_USAGE)
    BadInput = 65,     // an input file that was read but is not valid (EX_DATAERR)
    NoTiltRecord = 66, // acquire-tilt: no complete calibration record
    NoDisplay = 69,    // no display to open the window on (EX_UNAVAILABLE)
    CannotWrite = 74,  // an output that cannot be written (EX_IOERR)
    Config = 78,       // a settings file that is there but cannot be read (EX_CONFIG)

    StoppedByHangup = 129,      // 128 + SIGHUP
    StoppedByInterrupt = 130,   // 128 + SIGINT
    StoppedByTermination = 143, // 128 + SIGTERM
};
// The last of the jobs' own codes.
inline constexpr Code HighestJobCode = CommSystemError;
} // namespace result

using ResultCode = result::Code;

// One code as the program documents it.
struct CodeRow {
    ResultCode code;
    // The jobs' fixed message (the job log, the job history, the error boxes); for the other
    // codes what they mean.
    std::string_view message;
    // When the code comes, where the message does not say it; may be empty.
    std::string_view note;
};

// Every code in ascending order: what 'tessel --help exit-codes', the manual page and the
// README's table list.
std::span<const CodeRow> codeTable();

// The fixed message of a job's code; a code outside 0..32 reads as code 1's "Error".
const char* resultMessage(ResultCode code);

// The exit code of a program stopped by a signal: 128 + its number.
constexpr ResultCode stoppedBy(int signal) { return static_cast<ResultCode>(128 + signal); }

// The result of the job that runs, or ran last: the first failure decides. The job frame holds
// it; the port reports its line failures to it.
class JobResult {
public:
    ResultCode code() const { return code_; }
    bool ok() const { return code_ == result::Ok; }
    // Stores code unless an earlier failure is stored.
    void fail(ResultCode code) {
        if (ok()) code_ = code;
    }
    // Stores code whatever is stored: a job's start, and the verdicts that replace the failures
    // before them.
    void set(ResultCode code) { code_ = code; }

private:
    ResultCode code_ = result::Ok;
};

} // namespace tessel
