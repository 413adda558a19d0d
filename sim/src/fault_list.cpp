#include "fault_list.h"

#include <algorithm>

namespace zelo::sim {

void FaultList::add(const FaultSpec &fault) {
    // A fault for no events does nothing, except those counted in output
    // reports, where it means "before the next report".
    const bool countsReports = fault.fault == Fault::UnplugMidTransfer || fault.fault == Fault::HostGone;
    if (fault.count <= 0 && !countsReports) return;
    faults_.push_back(fault);
}

std::vector<FaultSpec>::iterator FaultList::find(Fault fault, std::uint8_t code) {
    return std::find_if(faults_.begin(), faults_.end(), [&](const FaultSpec &armed) {
        return armed.fault == fault && (armed.code == 0 || armed.code == code);
    });
}

std::optional<FaultSpec> FaultList::take(Fault fault, std::uint8_t code) {
    const auto it = find(fault, code);
    if (it == faults_.end()) return std::nullopt;
    if (it->after > 0) {
        --it->after;
        return std::nullopt;
    }
    const FaultSpec taken = *it;
    if (--it->count <= 0) faults_.erase(it);
    ++acted_;
    return taken;
}

bool FaultList::beforeReport(Fault fault) {
    const auto it = find(fault, 0);
    if (it == faults_.end() || it->count > 0) return false;
    faults_.erase(it);
    ++acted_;
    return true;
}

bool FaultList::afterReport(Fault fault) {
    const auto it = find(fault, 0);
    if (it == faults_.end()) return false;
    if (--it->count > 0) return false;
    faults_.erase(it);
    ++acted_;
    return true;
}

bool FaultList::unplugBeforeReport() { return beforeReport(Fault::UnplugMidTransfer); }
bool FaultList::unplugAfterReport() { return afterReport(Fault::UnplugMidTransfer); }
bool FaultList::hostGoneBeforeReport() { return beforeReport(Fault::HostGone); }
bool FaultList::hostGoneAfterReport() { return afterReport(Fault::HostGone); }

}  // namespace zelo::sim
