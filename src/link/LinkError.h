#pragma once

#include "support/ResultCode.h"

#include <string>
#include <utility>

namespace tessel {

// How the way to the light bar failed, for the operator: what kind of failure, and the reason in
// words a technician can act on ("the adapter was unplugged"). Every back end of the link (the
// serial port, the USB adapters) reports its failures as one of these; none is a success.
struct LinkError {
    enum class Kind {
        None,
        // Nothing could be tried: no port selected, a port that cannot be opened, no adapter
        // plugged in, settings that describe no cable. The job ends with 8, whose report advises
        // checking the connections and the COM port setting.
        Unavailable,
        Refused,   // the system refused the adapter: no permission, no driver, in use elsewhere
        Unplugged, // the adapter went away
        Stopped,   // the adapter stopped answering within an exchange's deadline
        Failed,    // a line call or a transfer failed for another reason
    };

    Kind kind = Kind::None;
    std::string reason;
    int systemError = 0; // the platform's error number, where there is one

    static LinkError none() { return {}; }
    static LinkError of(Kind kind, std::string reason, int systemError = 0) {
        return {kind, std::move(reason), systemError};
    }

    bool failed() const { return kind != Kind::None; }
    // 8 when nothing could be tried, 32 when the port or the adapter itself failed.
    ResultCode result() const {
        return kind == Kind::Unavailable ? result::ChipNotResponding : result::CommSystemError;
    }
};

} // namespace tessel
