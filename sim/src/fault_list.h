// Faults switched on by tests, each good for a number of events.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "zelo_sim/sim.h"

namespace zelo::sim {

class FaultList {
public:
    void add(const FaultSpec &fault);
    void clear() { faults_.clear(); }

    // Uses up one event of the first matching fault. A code of 0 in the
    // fault matches every command; otherwise it must equal code.
    std::optional<FaultSpec> take(Fault fault, std::uint8_t code = 0);

    // UnplugMidTransfer: before an output report (true: unplug without
    // taking it) and after one (true: that was the last one taken).
    bool unplugBeforeReport();
    bool unplugAfterReport();
    // HostGone, the same way around an output report.
    bool hostGoneBeforeReport();
    bool hostGoneAfterReport();

    // Faults that took effect.
    int acted() const { return acted_; }

private:
    std::vector<FaultSpec>::iterator find(Fault fault, std::uint8_t code);

    bool beforeReport(Fault fault);
    bool afterReport(Fault fault);

    std::vector<FaultSpec> faults_;
    int acted_ = 0;
};

}  // namespace zelo::sim
