// What the accessory does with each command.
#include <algorithm>
#include <string_view>

#include "accessory_impl.h"
#include "command_table.h"
#include "crc16.h"

namespace zelo::sim {

namespace {

constexpr std::size_t kCodeAt = 0;
constexpr std::size_t kPayloadAt = 1;
constexpr std::size_t kPageDataAt = 2;  // after the code and the page number
constexpr std::size_t kTransmitDataAt = kPayloadAt + cmd::kTransmitCountBytes;
constexpr std::size_t kMaxPollBytes = 255;  // the poll answer's count is one byte
constexpr std::uint8_t kSerialStatusOk = 0;
constexpr std::uint16_t kCrcCorruption = 0x5A5A;
constexpr int kByteBits = 8;
constexpr std::uint16_t kByteMask = 0xFF;
// The accessory's answer when it will not enter boot mode: 8 bytes, "E" first.
constexpr std::string_view kBootRefusal = "ERRORCMD";

std::vector<std::uint8_t> textBytes(std::string_view text) { return {text.begin(), text.end()}; }

std::string pageNote(int number, const char *what) {
    return "page " + std::to_string(number) + " " + what;
}

}  // namespace

void AccessoryImpl::noteCommand(const std::string &note) {
    for (auto entry = log_.rbegin(); entry != log_.rend(); ++entry) {
        if (entry->kind != LogEntry::Kind::Command) continue;
        entry->note += entry->note.empty() ? note : "; " + note;
        return;
    }
}

void AccessoryImpl::runCommand(const std::vector<std::uint8_t> &command) {
    const std::uint8_t code = command[kCodeAt];
    switch (code) {
    case cmd::kFirmwareVersion:
        answer(code, textBytes(firmwareText()));
        break;
    case cmd::kLoaderVersion:
        answer(code, textBytes(profile_.loader));
        break;
    case cmd::kPageCrc:
    case cmd::kPageWrite:
    case cmd::kPageRead:
        runPageCommand(command);
        break;
    case cmd::kBootStep:
    case cmd::kBootEnter:
    case cmd::kBootLeave:
    case cmd::kStartApplication:
        runBootCommand(command);
        break;
    case cmd::kUartEnable:
    case cmd::kUartDisable:
    case cmd::kRstHigh:
    case cmd::kRstLow:
    case cmd::kUartTransmit: {
        if (!uartEnabled_) {
            noteCommand("serial port disabled; bytes not sent");
            break;
        }
        if (moduleStopped_ || faults_.take(Fault::ModuleStops)) {
            moduleStopped_ = true;
            noteCommand("module stopped (fault); bytes not taken");
            break;
        }
        const unsigned changesBefore = module_.memoryChanges();
        module_.receive({command.begin() + kTransmitDataAt, command.end()},
                        [this] { return faults_.take(Fault::ModuleNeverSyncs).has_value(); });
        if (module_.memoryChanges() != changesBefore) persist();
        break;
    }
    default: {  // poll
        std::vector<std::uint8_t> bytes = module_.takeOutput(kMaxPollBytes);
        bytes.insert(bytes.begin(), {static_cast<std::uint8_t>(bytes.size()), kSerialStatusOk});
        answer(code, bytes);
        break;
    }
    }
}

}  // namespace zelo::sim
