// What the accessory does with each command.
#include <algorithm>
#include <optional>
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
    case cmd::kUartTransmit:
    case cmd::kUartPoll:
        runSerialCommand(command);
        break;
    default:
        runRecordCommand(command);
        break;
    }
}

void AccessoryImpl::runRecordCommand(const std::vector<std::uint8_t> &command) {
    const auto payload = command.begin() + kPayloadAt;
    switch (command[kCodeAt]) {
    case cmd::kLed:
        std::copy_n(payload, led_.size(), led_.begin());
        break;
    case cmd::kModuleReset:
        module_.setResetLine(*payload != 0);
        break;
    case cmd::kPairing:
        pairing_ = static_cast<std::uint16_t>((payload[0] << kByteBits) | payload[1]);
        break;
    case cmd::kIrTransmit:
        std::copy_n(payload, irTransmit_.size(), irTransmit_.begin());
        break;
    default:  // 0x16: the configuration was written; nothing to do
        break;
    }
}

std::vector<std::uint8_t> AccessoryImpl::crcAnswer(std::uint8_t code, std::uint16_t crc) {
    if (faults_.take(Fault::CorruptCrc, code)) {
        crc = static_cast<std::uint16_t>(crc ^ kCrcCorruption);
        noteCommand("CRC corrupted (fault)");
    }
    return {static_cast<std::uint8_t>(crc >> kByteBits), static_cast<std::uint8_t>(crc & kByteMask)};
}

// A page write as flash does it: erase, then program. Power lost between
// leaves the page erased or programmed only so far, and nothing answers.
// Otherwise the CRC to answer: that of the page as stored, as a sound
// firmware answers.
std::optional<std::uint16_t> AccessoryImpl::writePage(int number, const Page &data) {
    if (faults_.take(Fault::FailPageWrite, cmd::kPageWrite)) {
        noteCommand(pageNote(number, "not written (fault)"));
    } else if (refusesCodePage(number)) {
        noteCommand(pageNote(number, "not written: a code page, and boot mode was refused"));
    } else if (Flash::validPage(number)) {
        flash_.erase(number);
        if (const auto torn = faults_.take(Fault::TornPageWrite, cmd::kPageWrite)) {
            flash_.program(number, data, torn->programmed);
            persist();
            noteCommand(pageNote(number, "torn: power lost while programming (fault)"));
            return std::nullopt;
        }
        if (faults_.take(Fault::PageStoredWrong, cmd::kPageWrite)) {
            Page wrong = data;
            wrong[0] = static_cast<std::uint8_t>(~wrong[0]);
            flash_.program(number, wrong);
            persist();
            noteCommand(pageNote(number, "stored wrong, answered as received (fault)"));
            return crc16(data.data(), data.size());
        }
        flash_.program(number, data);
        persist();
        noteCommand(pageNote(number, bootMode_ ? "written in boot mode" : "written in application mode"));
    }
    const Page stored = flash_.page(number);
    return crc16(stored.data(), stored.size());
}

// The standard firmware runs from pages 16 to 28 and, once it has refused
// the boot loader, does not overwrite them; the X firmware, updated without
// boot mode, takes them in application mode. Page 29 is a configuration
// page too and is always taken.
bool AccessoryImpl::refusesCodePage(int number) const {
    constexpr int kLastCodePage = device::kFirmwarePages[device::kFirmwarePages.size() - 2];
    return bootRefused_ && !bootMode_ && profile_.layout->variant == device::DeviceVariant::Standard &&
           number >= kFirmwareFirstPage && number <= kLastCodePage;
}

void AccessoryImpl::runPageCommand(const std::vector<std::uint8_t> &command) {
    const std::uint8_t code = command[kCodeAt];
    const int number = command[kPayloadAt];
    if (!Flash::validPage(number)) noteCommand(pageNote(number, "is outside the flash; reads as erased"));
    const Page stored = flash_.page(number);
    std::uint16_t crc = crc16(stored.data(), stored.size());
    if (code == cmd::kPageWrite) {
        Page data;
        std::copy_n(command.begin() + kPageDataAt, data.size(), data.begin());
        const std::optional<std::uint16_t> written = writePage(number, data);
        if (!written) {
            powerLost_ = true;
            return;
        }
        crc = *written;
    }
    std::vector<std::uint8_t> bytes;
    if (code == cmd::kPageRead) bytes.assign(stored.begin(), stored.end());
    const std::vector<std::uint8_t> answerCrc = crcAnswer(code, crc);
    bytes.insert(bytes.end(), answerCrc.begin(), answerCrc.end());
    answer(code, bytes);
}

void AccessoryImpl::runBootCommand(const std::vector<std::uint8_t> &command) {
    const std::uint8_t code = command[kCodeAt];
    switch (code) {
    case cmd::kBootStep:
        if (command[kPayloadAt] == cmd::kBootStepLeave) bootMode_ = false;
        break;
    case cmd::kBootEnter:
        if (faults_.take(Fault::RefuseBootMode)) {
            bootRefused_ = true;
            noteCommand("boot mode refused (fault)");
            answer(code, textBytes(kBootRefusal));
        } else {
            bootRefused_ = false;
            bootMode_ = true;
        }
        break;
    case cmd::kBootLeave:
        bootMode_ = false;
        break;
    default:  // start the application
        if (command[kPayloadAt] == cmd::kStartApplicationValue) bootMode_ = false;
        break;
    }
    noteCommand(bootMode_ ? "boot mode" : "application mode");
}

void AccessoryImpl::runSerialCommand(const std::vector<std::uint8_t> &command) {
    const std::uint8_t code = command[kCodeAt];
    switch (code) {
    case cmd::kUartEnable:
        uartEnabled_ = true;
        std::copy_n(command.begin() + kPayloadAt, uartSettings_.size(), uartSettings_.begin());
        break;
    case cmd::kUartDisable:
        uartEnabled_ = false;
        break;
    case cmd::kRstHigh:
    case cmd::kRstLow:
        rst_ = code == cmd::kRstHigh;
        break;
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
