#include "matrix_profile.h"

#include <algorithm>
#include <map>
#include <utility>

#include "protocol.h"

namespace zelo::faults {

namespace {

// The library's serial-tunnel transmit command (its own header is internal).
constexpr std::uint8_t kSerialTransmit = 0x55;

bool isPageCommand(std::uint8_t code) {
    return code == device::command::kPageCrc || code == device::command::kPageWrite ||
           code == device::command::kPageRead;
}

bool isBootCommand(std::uint8_t code) {
    namespace command = device::command;
    return code == command::kBootControl || code == command::kBootEnter || code == command::kBootStep ||
           code == command::kStartApplication;
}

// The positions (index into the items) of the first and last item of each code.
template <typename Code>
std::vector<int> firstAndLastOfEach(const std::vector<std::uint8_t> &codes, Code position) {
    std::map<std::uint8_t, std::pair<int, int>> seen;
    for (int i = 0; i < static_cast<int>(codes.size()); ++i) {
        auto [it, fresh] = seen.try_emplace(codes[i], i, i);
        if (!fresh) it->second.second = i;
    }
    std::vector<int> positions;
    for (const auto &[code, range] : seen) {
        positions.push_back(position(range.first));
        positions.push_back(position(range.second));
    }
    return positions;
}

}  // namespace

Profile profileOf(const std::vector<sim::LogEntry> &log) {
    Profile profile;
    for (const sim::LogEntry &entry : log) {
        switch (entry.kind) {
        case sim::LogEntry::Kind::OutputReport:
            ++profile.outputReports;
            break;
        case sim::LogEntry::Kind::InputReport:
            // An answer follows its command in the log.
            if (!profile.messages.empty() && !profile.messages.back().answered) {
                profile.messages.back().answered = true;
                ++profile.answers;
            }
            break;
        case sim::LogEntry::Kind::Command: {
            const std::uint8_t code = entry.bytes.front();
            profile.messages.push_back({code, profile.outputReports - 1, false});
            if (isPageCommand(code)) ++profile.pageAnswers;
            if (code == device::command::kPageWrite) ++profile.pageWrites;
            if (code == device::command::kBootEnter) ++profile.bootEnters;
            if (code == kSerialTransmit) ++profile.serialTransmits;
            break;
        }
        default:
            break;
        }
    }
    return profile;
}

std::vector<int> Profile::firstAndLastAnswerOfEachCode() const {
    std::vector<std::uint8_t> codes;
    for (const Message &message : messages) {
        if (message.answered) codes.push_back(message.code);
    }
    return firstAndLastOfEach(codes, [](int i) { return i; });
}

std::vector<int> Profile::messageEnds(bool firstAndLastOfEachCodeOnly) const {
    std::vector<int> ends;
    if (!firstAndLastOfEachCodeOnly) {
        for (const Message &message : messages) ends.push_back(message.lastReport);
        return ends;
    }
    std::vector<std::uint8_t> codes;
    for (const Message &message : messages) codes.push_back(message.code);
    return firstAndLastOfEach(codes, [this](int i) { return messages[static_cast<std::size_t>(i)].lastReport; });
}

std::vector<int> Profile::riskyMessages(bool eachCodeOnly) const {
    std::vector<int> risky;
    std::vector<std::uint8_t> codes;
    for (int m = 0; m < static_cast<int>(messages.size()); ++m) {
        const std::uint8_t code = messages[static_cast<std::size_t>(m)].code;
        codes.push_back(code);
        if (isBootCommand(code) || code == device::command::kConfigurationWritten ||
            (!eachCodeOnly && code == device::command::kPageWrite)) {
            risky.push_back(m);
        }
    }
    if (eachCodeOnly) {
        const std::vector<int> ends = firstAndLastOfEach(codes, [](int i) { return i; });
        risky.insert(risky.end(), ends.begin(), ends.end());
    }
    return risky;
}

int Profile::messageStart(int m) const {
    return m <= 0 ? 0 : messages[static_cast<std::size_t>(m - 1)].lastReport + 1;
}

}  // namespace zelo::faults
