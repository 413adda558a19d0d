#include "module_program.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <string_view>
#include <vector>

#include "module_frames.h"
#include "progress.h"

namespace zelo::device {

namespace {

constexpr unsigned kPulseLevelMs = 25;

constexpr int kSyncAttempts = 26;
constexpr int kSyncPolls = 250;
constexpr unsigned kSyncPollMs = 10;
constexpr std::uint8_t kSyncRequest = 'U';
// Passes that discard stale serial bytes before synchronising.
constexpr int kDrainPasses = 16;
constexpr std::string_view kSyncAnswer = "40";

constexpr std::string_view kLoaderStart = "L0000";
constexpr std::uint8_t kLoaderStartAnswer = 'L';
constexpr std::uint8_t kAccepted = '.';

constexpr std::uint8_t kEraseCommand = 'E';
constexpr std::uint8_t kEraseStep = 'e';
constexpr std::uint8_t kEraseDone = 'E';
constexpr int kEraseProgressPerStep = 7;
// A module that keeps reporting erase steps is broken; stop listening.
constexpr int kMaxEraseSteps = 1024;

// Progress per loader line: 50 / 125 of a percent.
constexpr int kLoaderProgressNumerator = 50;
constexpr int kLoaderProgressDenominator = 125;
// Progress per data record: 100 / 58 of a percent.
constexpr int kRecordProgressNumerator = 100;
constexpr int kRecordProgressDenominator = 58;

constexpr std::size_t kHeaderRecordLength = 30;
constexpr std::size_t kDataOffset = 128;
constexpr std::size_t kDataRecordLength = 255;
constexpr std::size_t kDataRecordCount = 30;
constexpr std::uint16_t kDataAddress = kModuleHeaderAddress + kDataOffset;
constexpr unsigned kDataRecordPauseMs = 105;
constexpr unsigned kAcknowledgementPauseMs = 100;
static_assert(kDataOffset + kDataRecordCount * kDataRecordLength <= kModuleImageSize);
static_assert(kModuleAddressOffset + kModuleAddressSize < kHeaderRecordLength);

constexpr unsigned kByteMask = 0xFF;

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t *>(text.data()), text.size()};
}

bool allAccepted(std::span<const std::uint8_t> answers) {
    return std::all_of(answers.begin(), answers.end(), [](std::uint8_t b) { return b == kAccepted; });
}

// One run of moduleProgram: the link, the caller's progress and the waits.
class ModuleSession {
public:
    ModuleSession(CDeviceLink &link, std::atomic<int> &progress, Waits &waits)
        : link_(link), progress_(progress), waits_(waits) {}

    int run(std::optional<ModuleImageView> image, bool eraseOnly) {
        progress_.store(0);
        if (link_.uartEnable() != ZELO_OK) return ModuleUartEnableFailed;
        if (modulePulse(link_, waits_) != ZELO_OK) return ModuleFirstPulseFailed;
        if (!synchronise()) return ModuleSyncFailed;
        if (!uploadLoader()) return ModuleLoaderUploadFailed;
        if (!startLoader()) return ModuleLoaderStartFailed;
        if (!(eraseOnly ? erase() : install(image))) return ModuleWriteFailed;
        if (link_.uartDisable() != ZELO_OK) return ModuleUartDisableFailed;
        if (modulePulse(link_, waits_) != ZELO_OK) return ModuleFinalPulseFailed;
        return ModuleProgramOk;
    }

private:
    bool write(std::span<const std::uint8_t> bytes) {
        return link_.uartWrite(bytes.data(), bytes.size()) == ZELO_OK;
    }

    bool read(std::span<std::uint8_t> bytes) { return link_.uartRead(bytes.data(), bytes.size()) == ZELO_OK; }

    bool readByte(std::uint8_t &byte) { return read(std::span(&byte, 1)); }

    bool bytesWaiting() {
        for (int poll = 0; poll < kSyncPolls; ++poll) {
            waits_.sleepMs(kSyncPollMs);
            if (link_.uartBytesInFifo() > 0) return true;
        }
        return false;
    }

    // Bytes still waiting from an interrupted earlier attempt (or sent by
    // the module before its reset) would be taken for the sync answer.
    bool discardStaleBytes() {
        for (int pass = 0; pass < kDrainPasses; ++pass) {
            const int waiting = link_.uartBytesInFifo();
            if (waiting <= 0) return true;
            std::vector<std::uint8_t> stale(static_cast<std::size_t>(waiting));
            if (!read(stale)) return false;
        }
        return true;
    }

    // A read that fails after bytes were waiting means the module stopped
    // half-way through an answer: no later attempt can do better.
    bool synchronise() {
        if (!discardStaleBytes()) return false;
        const std::uint8_t request = kSyncRequest;
        for (int attempt = 0; attempt < kSyncAttempts; ++attempt) {
            if (!write(std::span(&request, 1))) return false;
            if (!bytesWaiting()) continue;
            std::array<std::uint8_t, kSyncAnswer.size()> answer{};
            if (!read(answer)) return false;
            if (std::equal(answer.begin(), answer.end(), bytesOf(kSyncAnswer).begin())) return true;
        }
        return false;
    }

    bool uploadLoader() {
        const std::vector<std::uint8_t> text = decipherLoaderText(link_.cipher);
        const auto lines = loaderLines(text);
        const int start = progress_.load();
        int sent = 0;
        for (const auto &line : lines) {
            if (!write(line)) return false;
            ++sent;
            progress_.store(start + sent * kLoaderProgressNumerator / kLoaderProgressDenominator);
        }
        if (lines.empty()) return true;
        // One acknowledgement per line; the last one is whatever the loader
        // makes of the final line, so it is not judged.
        std::vector<std::uint8_t> answers(lines.size());
        return read(answers) && allAccepted(std::span(answers).first(answers.size() - 1));
    }

    bool startLoader() {
        std::uint8_t answer = 0;
        return write(bytesOf(kLoaderStart)) && readByte(answer) && answer == kLoaderStartAnswer;
    }

    bool erase() {
        const std::uint8_t command = kEraseCommand;
        if (!write(std::span(&command, 1))) return false;
        for (int step = 0; step <= kMaxEraseSteps; ++step) {
            std::uint8_t answer = 0;
            if (!readByte(answer)) return false;
            // A module that sends more steps than usual must not push the
            // bar past its end.
            progress_.store(std::min(kProgressDone, progress_.load() + kEraseProgressPerStep));
            if (answer != kEraseStep) return answer == kEraseDone;
        }
        return false;
    }

    bool install(std::optional<ModuleImageView> image) {
        generateModuleAddress();
        if (image) return writeImage(*image);
        const std::vector<std::uint8_t> embedded = decipherModuleImage(link_.cipher);
        return writeImage(ModuleImageView(embedded.data(), kModuleImageSize));
    }

    void generateModuleAddress() {
        std::minstd_rand random(static_cast<std::minstd_rand::result_type>(
            std::chrono::system_clock::now().time_since_epoch().count()));
        link_.moduleAddress[0] = static_cast<std::uint8_t>(random() & kByteMask);
        std::copy(kModuleAddressPrefix.begin(), kModuleAddressPrefix.end(), link_.moduleAddress.begin() + 1);
    }

    bool writeImage(ModuleImageView source) {
        return writeHeader(source) && writeData(source) && dataAccepted();
    }

    // The module answers the header record at once; a rejected header would
    // leave a module that never starts, so the answer is checked here.
    bool writeHeader(ModuleImageView source) {
        std::array<std::uint8_t, kHeaderRecordLength> header{};
        std::copy_n(source.begin(), header.size(), header.begin());
        std::copy(link_.moduleAddress.begin(), link_.moduleAddress.end(), header.begin() + kModuleAddressOffset);
        std::uint8_t answer = 0;
        return write(memoryRecord(kModuleHeaderAddress, header)) && readByte(answer) && answer == kAccepted;
    }

    // Data records are not answered one by one: the module gets time to
    // store each, and the acknowledgements are read together at the end.
    bool writeData(ModuleImageView source) {
        const int start = progress_.load();
        for (std::size_t k = 0; k < kDataRecordCount; ++k) {
            const int done = static_cast<int>(k + 1);
            progress_.store(start + done * kRecordProgressNumerator / kRecordProgressDenominator);
            const auto data = source.subspan(kDataOffset + k * kDataRecordLength, kDataRecordLength);
            const auto address = static_cast<std::uint16_t>(kDataAddress + k * kDataRecordLength);
            if (!write(memoryRecord(address, data))) return false;
            waits_.sleepMs(kDataRecordPauseMs);
        }
        return true;
    }

    bool dataAccepted() {
        waits_.sleepMs(kAcknowledgementPauseMs);
        if (link_.uartBytesInFifo() < static_cast<int>(kDataRecordCount)) return false;
        std::array<std::uint8_t, kDataRecordCount> answers{};
        return read(answers) && allAccepted(answers);
    }

    CDeviceLink &link_;
    std::atomic<int> &progress_;
    Waits &waits_;
};

}  // namespace

int modulePulse(CDeviceLink &link, Waits &waits) {
    const std::uint8_t low = kModuleResetLow;
    const std::uint8_t high = kModuleResetHigh;
    waits.sleepMs(kPulseLevelMs);
    // Only the rising edge restarts the module, so only it decides the result.
    link.linkTransact(kModuleResetCommand, &low, 1, nullptr, 0);
    waits.sleepMs(kPulseLevelMs);
    const int result = link.linkTransact(kModuleResetCommand, &high, 1, nullptr, 0);
    waits.sleepMs(kPulseLevelMs);
    return result;
}

int moduleProgram(CDeviceLink &link, std::atomic<int> &progress, std::optional<ModuleImageView> image,
                  bool eraseOnly, Waits &waits) {
    return ModuleSession(link, progress, waits).run(image, eraseOnly);
}

bool moduleFileInstallable(int loadResult) {
    return loadResult == ModuleFileRaw || loadResult == ModuleFileFromHex;
}

}  // namespace zelo::device
