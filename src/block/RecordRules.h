#pragma once

#include "block/ConfigBlock.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tessel {

// Why a value cannot go into a block as it is.
enum class FieldFault {
    None,
    Integer,   // "'%s' is not a valid integer value"
    Real,      // "'%s' is not a valid floating point value"
    BlockText, // a text value holding "~", "< end >" or a control character
    Name,      // a name a light bar would read back changed (a blank or ":" inside it)
    IncompleteRow // "%s needs all eight values": a scale row typed in part (the text names it)
};

// The operator's message for a refused value, given as its field shows it.
std::string faultMessage(FieldFault fault, std::string_view text);

// The first value the record's rules refuse, or nothing.
struct RecordOutcome {
    FieldFault fault = FieldFault::None;
    std::string text; // the refused value as its field shows it
    bool ok() const { return fault == FieldFault::None; }
    std::string message() const { return faultMessage(fault, text); }
};

// Brings a record to what the windows would collect from it, so that it renders as the window
// renders it. The rules, in the order the window collects the fields (the first refusal ends it):
//  - format: 1 and 2 stay, any other value becomes 0;
//  - product name: cut to 19 characters, then refused when it holds "~", "< end >", a control
//    character or 0xFF, or a blank or ":" before its end (the light bar would read it back cut);
//  - customer ID: outside 0..5 it becomes 0;
//  - numeric options: kept to the 15 significant digits the options dialog shows; a value
//    without a finite 15-digit form is refused; skip flags stay;
//  - tilt calibration: stays (its members' widths hold every value);
//  - switch options: Yes and No stay, any other value becomes Skip;
//  - scale names: a name of exactly three characters is kept, refused as the product name is;
//    any other becomes empty;
//  - scale rows: a row is kept only when all eight values are non-zero, else all eight are 0.
RecordOutcome normalizeRecord(ConfigBlock& record);

// The same rules one field at a time, for the window's collection.
RecordOutcome normalizeName(std::string& name, std::size_t maxLength);
bool keepsScaleName(std::string_view name);
RecordOutcome normalizeReal(double& value);
int normalizeCustomerId(int customerId);
ScaleRow normalizeRow(const ScaleRow& row);

} // namespace tessel
