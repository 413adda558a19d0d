#include "bt_module.h"

#include <algorithm>

#include "module_records.h"

namespace zelo::sim {

namespace {

constexpr std::uint8_t kErased = 0xFF;
constexpr std::uint8_t kEraseCommand = 'E';
constexpr int kEraseSteps = 3;

// Trivially destructible, so they outlive any thread still talking at exit.
constexpr std::string_view kSyncRequest = "U";
constexpr std::string_view kSyncAnswer = "40";
constexpr std::string_view kLoaderStart = "L0000";
constexpr std::string_view kLoaderStartAnswer = "L";
constexpr std::string_view kAccepted = ".";
constexpr std::string_view kRejected = "!";
constexpr std::string_view kEraseStep = "e";
constexpr std::string_view kEraseDone = "E";

bool equals(const std::vector<std::uint8_t> &message, std::string_view text) {
    return std::equal(message.begin(), message.end(), text.begin(), text.end());
}

}  // namespace

BluetoothModule::BluetoothModule() : memory_(kMemorySize, kErased) {}

void BluetoothModule::setResetLine(bool high) {
    if (!high) {
        resetPending_ = true;
    } else if (resetPending_) {
        resetPending_ = false;
        state_ = ModuleState::BootLoader;
        stream_.clear();
    }
    resetLine_ = high;
}

void BluetoothModule::receive(const std::vector<std::uint8_t> &message, const std::function<bool()> &refuseSync) {
    switch (state_) {
    case ModuleState::Firmware:
        received_.insert(received_.end(), message.begin(), message.end());
        break;
    case ModuleState::BootLoader:
        bootLoaderMessage(message, refuseSync);
        break;
    case ModuleState::Synchronised:
        loaderLine(message);
        break;
    case ModuleState::Loader:
        stream_.insert(stream_.end(), message.begin(), message.end());
        loaderStream();
        break;
    }
}

void BluetoothModule::bootLoaderMessage(const std::vector<std::uint8_t> &message,
                                        const std::function<bool()> &refuseSync) {
    // Anything but the synchronisation byte is line noise to the boot loader.
    if (!equals(message, kSyncRequest) || refuseSync()) return;
    sendText(kSyncAnswer);
    state_ = ModuleState::Synchronised;
    loaderLines_.clear();
}

void BluetoothModule::loaderLine(const std::vector<std::uint8_t> &message) {
    if (equals(message, kLoaderStart)) {
        sendText(kLoaderStartAnswer);
        state_ = ModuleState::Loader;
        stream_.clear();
        return;
    }
    loaderLines_.emplace_back(message.begin(), message.end());
    sendText(kAccepted);
}

void BluetoothModule::loaderStream() {
    while (!stream_.empty()) {
        if (stream_.front() == kRecordStart) {
            if (!loaderRecord()) return;
        } else {
            // The loader ignores bytes between records.
            if (stream_.front() == kEraseCommand) erase();
            stream_.erase(stream_.begin());
        }
    }
}

bool BluetoothModule::loaderRecord() {
    const RecordResult record = parseRecord(stream_);
    if (record.status == RecordResult::Status::NeedMore) return false;
    stream_.erase(stream_.begin(), stream_.begin() + static_cast<std::ptrdiff_t>(record.consumed));
    const std::size_t end = static_cast<std::size_t>(record.address) + record.data.size();
    const bool inMemory = record.address >= kMemoryBase && end <= kMemoryBase + kMemorySize;
    if (record.status != RecordResult::Status::Good || !inMemory) {
        sendText(kRejected);
        return true;
    }
    std::copy(record.data.begin(), record.data.end(), memory_.begin() + (record.address - kMemoryBase));
    erased_ = false;
    sendText(kAccepted);
    return true;
}

void BluetoothModule::erase() {
    std::fill(memory_.begin(), memory_.end(), kErased);
    erased_ = true;
    for (int step = 0; step < kEraseSteps; ++step) sendText(kEraseStep);
    sendText(kEraseDone);
}

std::vector<std::uint8_t> BluetoothModule::takeOutput(std::size_t max) {
    const std::size_t count = std::min(max, output_.size());
    std::vector<std::uint8_t> bytes(output_.begin(), output_.begin() + static_cast<std::ptrdiff_t>(count));
    output_.erase(output_.begin(), output_.begin() + static_cast<std::ptrdiff_t>(count));
    return bytes;
}

void BluetoothModule::send(const std::vector<std::uint8_t> &bytes) {
    output_.insert(output_.end(), bytes.begin(), bytes.end());
}

void BluetoothModule::sendText(std::string_view text) { output_.insert(output_.end(), text.begin(), text.end()); }

}  // namespace zelo::sim
