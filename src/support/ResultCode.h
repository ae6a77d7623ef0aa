#pragma once

namespace tessel {

// The result codes of the device jobs and of the steps they are made of: 0 is success, every
// other code a failure with a fixed message (resultMessage). The codes are plain enumerators in
// their own namespace: a code reads as the integer a job returns and the command line exits
// with, but no integer becomes a code without a cast.
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
    OutputFileWriteError = 11,
    InputFileCancel = 13,
    InputFileOpenError = 14,
    VcbFormatsDoNotMatch = 18,
    CodeVerifyError = 19,
    EraseCancelled = 20,
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
};
inline constexpr Code Highest = CommSystemError;
} // namespace result

using ResultCode = result::Code;

// The fixed message of a code; any integer outside 0..32 reads as code 1's "Error".
const char* resultMessage(int code);

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
