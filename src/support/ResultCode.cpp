#include "support/ResultCode.h"

#include <algorithm>
#include <array>

namespace tessel {

namespace {
using namespace result;

constexpr std::array kCodes = std::to_array<CodeRow>({
    {Ok, "Ok", ""},
    {Error, "Error", "also: no COM port selected"},
    {MemoryAllocationError, "Memory Allocation Error", ""},
    {HexFileFormatError, "HEX File Format Error", ""},
    {ChecksumError, "Checksum Error", ""},
    {NoValidVcb, "No valid VCB", ""},
    {VcbAlreadyExists, "VCB Already Exists", ""},
    {ReferenceVcbNotValid, "Reference VCB is not valid", ""},
    {ChipNotResponding, "Chip is not responding", ""},
    {OutputFileCancel, "Output File Cancel", ""},
    {OutputFileOpenError, "Output File Open Error", ""},
    {OutputFileWriteError, "Output File Write Error", ""},
    {OutputFileCloseError, "Output File Close Error", ""},
    {InputFileCancel, "Input File Cancel", ""},
    {InputFileOpenError, "Input File Open Error", "any input file that cannot be read"},
    {InputFileReadError, "Input File Read Error", ""},
    {InputFileCloseError, "Input File Close Error", ""},
    {UnusedVcbVerifyError, "VCB Verify Error", ""},
    {VcbFormatsDoNotMatch, "VCB Formats do not match", ""},
    {CodeVerifyError, "Code Verify Error", ""},
    {EraseCancelled, "Operation Cancelled", "an erase refused"},
    {OperationCancelled, "Operation Cancelled", ""},
    {SerialNumberChangeCancelled, "S/N change Cancelled ", ""}, // the trailing blank is its own
    {OperationAborted, "Operation Aborted", ""},
    {VerifyAborted, "Verify Aborted", ""},
    {InvalidExtantVcb, "Invalid Extant VCB", ""},
    {IncorrectVcbFormatNumber, "Incorrect VCB Format Number", ""},
    {ConvertingFormatNumberIsOk, "Converting Format Number is OK", ""},
    {VcbVerifyError, "VCB Verify Error", ""},
    {VcbFormat1Required, "VCB Format 1 is Required", ""},
    {VcbFormat2Required, "VCB Format 2 is Required", ""},
    {UnknownVcbFormatRequired, "Unknown VCB Format Required", ""},
    {CommSystemError, "COMM System Error", ""},
    {Usage, "usage error: a command line that does not parse", ""},
    {BadInput, "an input file that is not valid (a block, record, backup or state file)", ""},
    {NoTiltRecord, "acquire-tilt: the light bar holds no complete tilt calibration record", ""},
    {NoDisplay, "no display to open the window on", ""},
    {CannotWrite, "an output that cannot be written (a file or standard output)", ""},
    {Config, "the settings file exists but cannot be read (a folder, no permission)", ""},
    {StoppedByHangup, "stopped by SIGHUP", "a running job is cancelled and reported first"},
    {StoppedByInterrupt, "stopped by Ctrl+C", "while a job runs, by a second one"},
    {StoppedByTermination, "stopped by SIGTERM", "a running job is cancelled and reported first"},
});

static_assert(std::ranges::is_sorted(kCodes, {}, &CodeRow::code));
static_assert(kCodes[HighestJobCode].code == HighestJobCode, "the jobs' codes 0..32 in order");
} // namespace

std::span<const CodeRow> codeTable() { return kCodes; }

const char* resultMessage(ResultCode code) {
    if (code < Ok || code > HighestJobCode) code = Error;
    return kCodes[static_cast<std::size_t>(code)].message.data();
}

} // namespace tessel
