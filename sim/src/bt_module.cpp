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

void BluetoothModule::receive(const std::vector<std::uint8_t> &bytes, const std::function<bool()> &refuseSync) {
    if (state_ == ModuleState::Firmware) {
        received_.insert(received_.end(), bytes.begin(), bytes.end());
        return;
    }
    stream_.insert(stream_.end(), bytes.begin(), bytes.end());
    bool took = true;
    while (took && !stream_.empty()) {
        switch (state_) {
        case ModuleState::BootLoader:
            took = bootLoaderStep(refuseSync);
            break;
        case ModuleState::Synchronised:
            took = loaderTextStep();
            break;
        case ModuleState::Loader:
            took = loaderStep();
            break;
        case ModuleState::Firmware:
            took = false;
            break;
        }
    }
}

void BluetoothModule::dropFront(std::size_t count) {
    stream_.erase(stream_.begin(), stream_.begin() + static_cast<std::ptrdiff_t>(std::min(count, stream_.size())));
}

// Anything but the synchronisation byte is line noise to the boot loader.
bool BluetoothModule::bootLoaderStep(const std::function<bool()> &refuseSync) {
    const bool sync = stream_.front() == kSyncRequest.front();
    dropFront(1);
    if (!sync || refuseSync()) return true;
    sendText(kSyncAnswer);
    state_ = ModuleState::Synchronised;
    loaderLines_.clear();
    return true;
}

// Between lines, terminators and stray bytes are skipped unanswered.
bool BluetoothModule::loaderTextStep() {
    const std::uint8_t first = stream_.front();
    if (first == kLoaderLineStart) return loaderTextLine();
    if (first == kLoaderStart.front()) return loaderStartCommand();
    dropFront(1);
    return true;
}

bool BluetoothModule::loaderTextLine() {
    const LoaderLineResult line = parseLoaderLine(stream_);
    if (line.status == LoaderLineResult::Status::NeedMore) return false;
    if (line.status == LoaderLineResult::Status::Good) {
        loaderLines_.emplace_back(stream_.begin(), stream_.begin() + static_cast<std::ptrdiff_t>(line.consumed));
        sendText(kAccepted);
    } else if (line.consumed > 1) {
        sendText(kRejected);
    }
    dropFront(line.consumed);
    return true;
}

bool BluetoothModule::loaderStartCommand() {
    if (stream_.size() < kLoaderStart.size()) return false;
    const bool start = std::equal(kLoaderStart.begin(), kLoaderStart.end(), stream_.begin());
    if (!start) {
        dropFront(1);
        return true;
    }
    dropFront(kLoaderStart.size());
    sendText(kLoaderStartAnswer);
    state_ = ModuleState::Loader;
    return true;
}

// The loader ignores bytes between records but for the erase command.
bool BluetoothModule::loaderStep() {
    const std::uint8_t first = stream_.front();
    if (first == kRecordStart) return loaderRecord();
    dropFront(1);
    if (first == kEraseCommand) erase();
    return true;
}

bool BluetoothModule::loaderRecord() {
    const RecordResult record = parseRecord(stream_);
    if (record.status == RecordResult::Status::NeedMore) return false;
    dropFront(record.consumed);
    const std::size_t end = static_cast<std::size_t>(record.address) + record.data.size();
    const bool inMemory = record.address >= kMemoryBase && end <= kMemoryBase + kMemorySize;
    if (record.status != RecordResult::Status::Good || !inMemory) {
        sendText(kRejected);
        return true;
    }
    std::copy(record.data.begin(), record.data.end(), memory_.begin() + (record.address - kMemoryBase));
    erased_ = false;
    ++memoryChanges_;
    sendText(kAccepted);
    return true;
}

void BluetoothModule::erase() {
    std::fill(memory_.begin(), memory_.end(), kErased);
    erased_ = true;
    ++memoryChanges_;
    for (int step = 0; step < kEraseSteps; ++step) sendText(kEraseStep);
    sendText(kEraseDone);
}

void BluetoothModule::restore(const std::vector<std::uint8_t> &memory, bool erased) {
    if (memory.size() == memory_.size()) memory_ = memory;
    erased_ = erased;
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
