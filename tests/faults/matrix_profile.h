// What a fault-free run of an operation did, read from the accessory's log:
// the events each fault can take (output reports, messages, answers, page
// writes, boot-mode requests, serial transmissions), the positions no
// sample may leave out, and the accessory's state afterwards.
#pragma once

#include <cstdint>
#include <vector>

#include "matrix_operations.h"
#include "zelo_sim/sim.h"

namespace zelo::faults {

// One message the program sent: its command and the output report that
// completed it (0-based over the operation).
struct Message {
    std::uint8_t code = 0;
    int lastReport = 0;
    bool answered = false;
};

struct Profile {
    int outputReports = 0;
    std::vector<Message> messages;
    int answers = 0;  // messages the accessory answered
    int pageAnswers = 0;
    int pageWrites = 0;
    int bootEnters = 0;
    int serialTransmits = 0;
    AccessoryState after;
    // Module bytes two fault-free runs leave different: the module address
    // the program draws anew each time.
    std::vector<bool> moduleMask;

    // Answer positions (over answered messages only) of the first and last
    // answer of each command code.
    std::vector<int> firstAndLastAnswerOfEachCode() const;
    // Report positions where a message's last report goes out: every
    // message, or for runs of many alike (module programming) the first and
    // last of each code.
    std::vector<int> messageEnds(bool firstAndLastOfEachCodeOnly) const;
    // Messages (by index) no sample leaves out: the boot-mode messages and
    // the final acknowledgement, and where many alike are sent (module
    // programming) the first and last of each code, otherwise every page write.
    std::vector<int> riskyMessages(bool eachCodeOnly) const;
    // The output report message m starts with; past the last message, the
    // number of reports.
    int messageStart(int m) const;
};

// Counts the events of a fault-free run from its log.
Profile profileOf(const std::vector<sim::LogEntry> &log);

}  // namespace zelo::faults
