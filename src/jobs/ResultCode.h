#pragma once

#include <string>
#include <vector>

namespace tessel {

// Result codes of the device jobs. 0 is success; the first failure of a job decides its code.
namespace result {
inline constexpr int Ok = 0;
inline constexpr int Error = 1;
inline constexpr int MemoryAllocationError = 2;
inline constexpr int HexFileFormatError = 3;
inline constexpr int ChecksumError = 4;
inline constexpr int NoValidVcb = 5;
inline constexpr int VcbAlreadyExists = 6;
inline constexpr int ReferenceVcbNotValid = 7;
inline constexpr int ChipNotResponding = 8;
inline constexpr int OutputFileWriteError = 11;
inline constexpr int InputFileCancel = 13;
inline constexpr int InputFileOpenError = 14;
inline constexpr int VcbFormatsDoNotMatch = 18;
inline constexpr int CodeVerifyError = 19;
inline constexpr int EraseCancelled = 20;
inline constexpr int SerialNumberChangeCancelled = 22;
inline constexpr int OperationAborted = 23;
inline constexpr int VerifyAborted = 24;
inline constexpr int InvalidExtantVcb = 25;
inline constexpr int IncorrectVcbFormatNumber = 26;
inline constexpr int ConvertingFormatNumberIsOk = 27;
inline constexpr int VcbVerifyError = 28;
inline constexpr int VcbFormat1Required = 29;
inline constexpr int VcbFormat2Required = 30;
inline constexpr int UnknownVcbFormatRequired = 31;
inline constexpr int CommSystemError = 32;
inline constexpr int Highest = 32;
} // namespace result

// The fixed message of a result code; codes outside 0..32 read as code 1's "Error".
const char* resultMessage(int code);

// The error lines the final report of a job appends for a result: nothing for 0, 20 and 23,
// a boxed hint for the codes that need an operator action, " <message>" otherwise.
std::vector<std::string> finalReportLines(int code);

} // namespace tessel
