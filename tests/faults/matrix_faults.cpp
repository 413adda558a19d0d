#include "matrix_faults.h"

#include <algorithm>

namespace zelo::faults {

namespace {

using std::chrono::milliseconds;

constexpr int kModuleSilentSyncs = 1000;
// Writes that never complete: more than any operation sends.
constexpr int kStalledReports = 1000000;
constexpr std::size_t kHalfPage = sim::kPageSize / 2;

sim::FaultSpec armed(sim::Fault fault, int after, milliseconds delay = {}) {
    sim::FaultSpec spec{fault};
    spec.after = after;
    spec.delay = delay;
    return spec;
}

sim::FaultSpec torn(int after, std::size_t programmed) {
    sim::FaultSpec spec = armed(sim::Fault::TornPageWrite, after);
    spec.programmed = programmed;
    return spec;
}

std::vector<int> firstAndLast(int count) { return count > 0 ? std::vector<int>{0, count - 1} : std::vector<int>{}; }

std::vector<int> every(int count) {
    std::vector<int> all;
    for (int k = 0; k < count; ++k) all.push_back(k);
    return all;
}

// Reports taken before the fault (0..reports): the first and last, and both
// sides of every message's last report: the message cut just short of its
// end, and the message complete with its answer lost.
std::vector<int> aroundMessageEnds(const Profile &p, bool eachCodeOnly) {
    std::vector<int> positions{0, p.outputReports};
    for (int end : p.messageEnds(eachCodeOnly)) {
        positions.push_back(end);
        positions.push_back(end + 1);
    }
    return positions;
}

int reportsTaken(const Profile &p) { return p.outputReports + 1; }

// Message boundaries always tried: the first and last message, the
// boot-mode messages and the final acknowledgement (of each code's first
// and last message where many alike are sent), and the end.
std::vector<int> boundariesAlways(const Profile &p, bool eachCodeOnly) {
    const int count = static_cast<int>(p.messages.size());
    std::vector<int> positions{0, count - 1, count};
    for (int m : p.riskyMessages(eachCodeOnly)) positions.push_back(m);
    return positions;
}

}  // namespace

const std::vector<FaultKind> &faultKinds() {
    static const std::vector<FaultKind> kinds{
        {"unplug after report k", reportsTaken, aroundMessageEnds,
         [](const Profile &, int k) { return sim::FaultSpec{sim::Fault::UnplugMidTransfer, 0, k}; }},
        {"answer dropped", [](const Profile &p) { return p.answers; },
         [](const Profile &p, bool) { return p.firstAndLastAnswerOfEachCode(); },
         [](const Profile &, int k) { return armed(sim::Fault::DropAnswer, k); }},
        {"answer late", [](const Profile &p) { return p.answers; },
         [](const Profile &p, bool) { return p.firstAndLastAnswerOfEachCode(); },
         [](const Profile &, int k) { return armed(sim::Fault::DelayAnswer, k, milliseconds(kReceiveLimitMs) + kLateBy); },
         Sampling::Few, true},
        {"late answer, link kept", [](const Profile &p) { return p.answers; },
         [](const Profile &p, bool) { return p.firstAndLastAnswerOfEachCode(); },
         [](const Profile &, int k) { return armed(sim::Fault::DelayAnswer, k, milliseconds(kReceiveLimitMs) + kLateBy); },
         Sampling::Few, true, Recovery::SameLink},
        {"CRC corrupted", [](const Profile &p) { return p.pageAnswers; },
         [](const Profile &p, bool) { return firstAndLast(p.pageAnswers); },
         [](const Profile &, int k) { return armed(sim::Fault::CorruptCrc, k); }},
        {"page write not stored", [](const Profile &p) { return p.pageWrites; },
         [](const Profile &p, bool) { return every(p.pageWrites); },
         [](const Profile &, int k) { return armed(sim::Fault::FailPageWrite, k); }},
        {"page torn, erased", [](const Profile &p) { return p.pageWrites; },
         [](const Profile &p, bool) { return every(p.pageWrites); }, [](const Profile &, int k) { return torn(k, 0); }},
        {"page torn, half written", [](const Profile &p) { return p.pageWrites; },
         [](const Profile &p, bool) { return every(p.pageWrites); }, [](const Profile &, int k) { return torn(k, kHalfPage); }},
        {"boot mode refused", [](const Profile &p) { return std::min(p.bootEnters, 1); },
         [](const Profile &, bool) { return std::vector<int>{0}; },
         [](const Profile &, int) { return sim::FaultSpec{sim::Fault::RefuseBootMode}; }},
        {"module silent", [](const Profile &p) { return std::min(p.serialTransmits, 1); },
         [](const Profile &, bool) { return std::vector<int>{0}; },
         [](const Profile &, int) { return sim::FaultSpec{sim::Fault::ModuleNeverSyncs, 0, kModuleSilentSyncs}; }},
        {"module stops at step k", [](const Profile &p) { return p.serialTransmits; },
         [](const Profile &p, bool) { return firstAndLast(p.serialTransmits); },
         [](const Profile &, int k) { return armed(sim::Fault::ModuleStops, k); }},
        // A message cut inside stays in the accessory's receive buffer,
        // which only a replug clears (see the architecture notes): the
        // endpoint stalls, and the program dies, between messages.
        {"endpoint stalled", [](const Profile &p) { return static_cast<int>(p.messages.size()); },
         [](const Profile &p, bool eachCodeOnly) { return boundariesAlways(p, eachCodeOnly); },
         [](const Profile &p, int m) {
             sim::FaultSpec spec = armed(sim::Fault::StallWrites, p.messageStart(m));
             spec.count = kStalledReports;
             return spec;
         },
         Sampling::Few},
        {"program killed", [](const Profile &p) { return static_cast<int>(p.messages.size()) + 1; },
         [](const Profile &p, bool eachCodeOnly) { return boundariesAlways(p, eachCodeOnly); },
         [](const Profile &p, int m) { return sim::FaultSpec{sim::Fault::HostGone, 0, p.messageStart(m)}; },
         Sampling::Few, false, Recovery::NewStart},
    };
    return kinds;
}

}  // namespace zelo::faults
