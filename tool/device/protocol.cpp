#include "protocol.h"

#include <algorithm>
#include <array>
#include <vector>

#include "page_crc.h"
#include "pending_save.h"

namespace zelo::device {

namespace {

// A page command's payload starts with the page number.
constexpr std::size_t kPageNumberBytes = 1;
// readConfiguration and writeConfiguration report this much per page.
constexpr int kProgressPerConfigurationPage = 33;

std::size_t configurationPageCount(DeviceVariant variant) { return blockLength(variant) / kPageSize; }

int send(CDeviceLink &link, std::uint8_t code) { return link.linkTransact(code, nullptr, 0, nullptr, 0); }

int send(CDeviceLink &link, std::uint8_t code, std::uint8_t value) {
    return link.linkTransact(code, &value, sizeof value, nullptr, 0);
}

// The first failure of a sequence is the one worth reporting; later steps
// usually fail only because of it.
int firstFailure(int sofar, int next) { return sofar != ZELO_OK ? sofar : next; }

// Reads whatever the accessory sent unasked. A failed read gives its code.
int drainWaiting(CDeviceLink &link, std::vector<std::uint8_t> &bytes) {
    bytes.clear();
    const int waiting = link.bytesInFifo();
    if (waiting <= 0) return ZELO_OK;
    bytes.resize(static_cast<std::size_t>(waiting));
    return link.read(bytes.data(), bytes.size());
}

bool isRefusal(const std::vector<std::uint8_t> &bytes) {
    return bytes.size() == kBootRefusalLength && bytes.front() == kBootRefusalMark;
}

// On the standard model the configuration also carries the version of the
// firmware image the gate installed; a higher one is what the user sees.
void raiseFirmwareNumber(CDeviceLink &link) {
    char text[kVersionTextLength + 1]{};
    const auto &block = link.record.readCopy();
    std::copy_n(block.begin() + kFirmwareVersionOffset, kVersionTextLength, text);
    link.firmwareNumber = std::max(link.firmwareNumber, firmwareNumberOf(text));
}

}  // namespace

namespace {

// What the pages hold now, for the record: as the link knows it, or read.
int baselineOf(CDeviceLink &link, ConfigRecord::Block &before) {
    if (link.writeBaseline) {
        before = *link.writeBaseline;
        return ZELO_OK;
    }
    before.fill(0);
    const std::size_t pages = configurationPageCount(link.variant());
    for (std::size_t i = 0; i < pages; ++i) {
        const std::span<std::uint8_t, kPageSize> into(before.data() + i * kPageSize, kPageSize);
        if (const int result = readPage(link, kConfigurationPages[i], into); result != ZELO_OK) return result;
    }
    return ZELO_OK;
}

}  // namespace

// Records the bytes about to be written and what they replace. A record
// that cannot be stored does not stop the save the user asked for; that
// save just cannot be settled after an unplug, which the caller tells.
int recordPendingSave(CDeviceLink &link, bool &recorded) {
    recorded = false;
    link.lastWriteUnprotected = false;
    // Other models have no settings the program writes for the user.
    if (link.pendingSaves == nullptr || link.variant() == DeviceVariant::Other) return ZELO_OK;
    PendingSave save;
    save.variant = link.variant();
    if (const int result = baselineOf(link, save.before); result != ZELO_OK) return result;
    const auto &block = link.record.readCopy();
    const std::size_t length = blockLength(save.variant);
    std::copy_n(block.begin(), length, save.block.begin());
    save.key = accessoryKeyOf(block);
    std::string error;
    recorded = link.pendingSaves->write(save, error);
    link.lastWriteUnprotected = !recorded;
    return ZELO_OK;
}

int verifyConfigurationPages(CDeviceLink &link, std::span<const std::uint8_t> block) {
    const std::size_t pages = configurationPageCount(link.variant());
    if (block.size() < pages * kPageSize) return ZELO_OUT_OF_RANGE;
    for (std::size_t i = 0; i < pages; ++i) {
        std::array<std::uint8_t, kPageSize> stored{};
        const int result = readPage(link, kConfigurationPages[i], stored);
        if (result != ZELO_OK) return result;
        if (!std::equal(stored.begin(), stored.end(), block.begin() + static_cast<std::ptrdiff_t>(i * kPageSize))) {
            return kCheckFailed;
        }
    }
    return ZELO_OK;
}

int readVersions(CDeviceLink &link) {
    char text[kVersionTextLength + 1]{};
    auto *reply = reinterpret_cast<std::uint8_t *>(text);
    int result = link.linkTransact(command::kFirmwareVersion, nullptr, 0, reply, kVersionTextLength);
    if (result != ZELO_OK) return result;
    link.setFirmwareVersion(text);

    std::fill(std::begin(text), std::end(text), '\0');
    result = link.linkTransact(command::kLoaderVersion, nullptr, 0, reply, kVersionTextLength);
    if (result != ZELO_OK) return result;
    link.setLdVersion(text);
    return ZELO_OK;
}

int readPageCrc(CDeviceLink &link, std::uint8_t page, std::uint16_t &crc) {
    std::array<std::uint8_t, kPageCrcSize> reply{};
    const int result = link.linkTransact(command::kPageCrc, &page, kPageNumberBytes, reply.data(), reply.size());
    if (result == ZELO_OK) crc = loadCrc(reply);
    return result;
}

int readPage(CDeviceLink &link, std::uint8_t page, std::span<std::uint8_t, kPageSize> out, bool *answered) {
    std::array<std::uint8_t, kPageReplySize> reply{};
    const int result = link.linkTransact(command::kPageRead, &page, kPageNumberBytes, reply.data(), reply.size());
    if (answered != nullptr) *answered = result == ZELO_OK;
    if (result != ZELO_OK) return result;
    const std::span<const std::uint8_t, kPageReplySize> answer(reply);
    if (pageCrc(answer.first<kPageSize>()) != loadCrc(answer.last<kPageCrcSize>())) return kCheckFailed;
    std::copy(reply.begin(), reply.begin() + kPageSize, out.begin());
    return ZELO_OK;
}

int writePage(CDeviceLink &link, std::uint8_t page, PageData data) {
    const std::uint16_t crc = pageCrc(data);
    std::array<std::uint8_t, kPageNumberBytes + kPageSize> payload{};
    payload[0] = page;
    std::copy(data.begin(), data.end(), payload.begin() + kPageNumberBytes);
    std::array<std::uint8_t, kPageCrcSize> reply{};
    const int result = link.linkTransact(command::kPageWrite, payload.data(), payload.size(), reply.data(), reply.size());
    if (result != ZELO_OK) return result;
    return loadCrc(reply) == crc ? ZELO_OK : kCheckFailed;
}

int writePageRange(CDeviceLink &link, std::span<std::uint8_t> data, std::uint8_t first, std::uint8_t last,
                   ProgressSink &progress) {
    if (first > last) return ZELO_OUT_OF_RANGE;
    const int pages = last - first + 1;
    const std::size_t total = static_cast<std::size_t>(pages) * kPageSize;
    if (data.size() < total) return ZELO_OUT_OF_RANGE;

    const std::span<std::uint8_t> image = data.first(total);
    storeCrc(image.last<kPageCrcSize>(), pageCrc(image.first(total - kPageCrcSize)));

    progress.progress(kProgressStart);
    for (int i = 0; i < pages; ++i) {
        const PageData page(image.subspan(static_cast<std::size_t>(i) * kPageSize).first<kPageSize>());
        const int result = writePage(link, static_cast<std::uint8_t>(first + i), page);
        if (result != ZELO_OK) return result;
        progress.progress((i + 1) * kProgressDone / pages);
    }
    return ZELO_OK;
}

int readConfiguration(CDeviceLink &link, ProgressSink &progress) {
    progress.progress(kProgressStart);
    const DeviceVariant variant = link.variant();
    const std::size_t pages = configurationPageCount(variant);
    link.record.beginRead();
    link.writeBaseline.reset();

    int result = ZELO_OK;
    auto &block = link.record.readCopy();
    for (std::size_t i = 0; i < pages && result == ZELO_OK; ++i) {
        progress.progress(kProgressPerConfigurationPage * static_cast<int>(i));
        const std::span<std::uint8_t, kPageSize> into(block.data() + i * kPageSize, kPageSize);
        result = readPage(link, kConfigurationPages[i], into);
    }

    const bool complete = result == ZELO_OK;
    // Only a page read intact in this pass may raise the version shown; after
    // a failure the bytes there may be another read's.
    if (complete && link.firmwarePagesValid && variant == DeviceVariant::Standard) raiseFirmwareNumber(link);
    link.record.finishRead(complete);
    if (complete) link.writeBaseline = link.record.readCopy();
    progress.progress(kProgressDone);
    return result;
}

int writeConfiguration(CDeviceLink &link, ProgressSink &progress) {
    const DeviceVariant variant = link.variant();
    auto &block = link.record.readCopy();
    link.record.restoreProtected();
    if (variant == DeviceVariant::Standard) sealFirmwareImage(link.firmwareImage, block);
    bool recorded = false;
    int result = recordPendingSave(link, recorded);
    // Nothing was written yet, and the pages are as they were.
    if (result != ZELO_OK) return result;

    progress.progress(kProgressStart);
    const std::size_t pages = configurationPageCount(variant);
    for (std::size_t i = 0; i < pages && result == ZELO_OK; ++i) {
        progress.progress(kProgressPerConfigurationPage * static_cast<int>(i));
        const PageData page(block.data() + i * kPageSize, kPageSize);
        result = writePage(link, kConfigurationPages[i], page);
    }
    if (result == ZELO_OK) result = verifyConfigurationPages(link, block);
    progress.progress(kProgressDone);
    // The accessory takes the new configuration into use; sent even after a
    // failure so it never stays waiting, and its own result is not the save's.
    send(link, command::kConfigurationWritten);
    // Every page answered the CRC of what was sent and reads back as sent.
    if (result == ZELO_OK) {
        link.writeBaseline = block;
        if (recorded) link.pendingSaves->remove(accessoryKeyOf(block));
    } else {
        // Some pages may be old, some new, one torn: only a read can tell.
        link.writeBaseline.reset();
    }
    return result;
}

int enterBootMode(CDeviceLink &link, Waits &waits) {
    int result = send(link, command::kBootControl, command::kBootControlEnter);
    result = firstFailure(result, send(link, command::kBootEnter));
    waits.sleepMs(kBootSettleMs);
    std::vector<std::uint8_t> waiting;
    const int drained = drainWaiting(link, waiting);
    if (drained != ZELO_OK) return drained;
    if (isRefusal(waiting)) return kCheckFailed;
    return result;
}

int leaveBootMode(CDeviceLink &link, Waits &waits) {
    if (link.variant() == DeviceVariant::Standard) {
        int result = send(link, command::kBootStep);
        result = firstFailure(result, send(link, command::kStartApplication, command::kStartApplicationValue));
        return firstFailure(result, send(link, command::kBootStep));
    }
    int result = send(link, command::kBootControl, command::kBootControlLeave);
    result = firstFailure(result, send(link, command::kBootStep));
    waits.sleepMs(kBootSettleMs);
    std::vector<std::uint8_t> waiting;
    return firstFailure(result, drainWaiting(link, waiting));
}

}  // namespace zelo::device
