#include "pending_save.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "file_replace.h"
#include "page_crc.h"

namespace zelo::device {

namespace fs = std::filesystem;

namespace {

// magic, format version, variant, block length (2 bytes), address, block,
// then the CRC of all of that (2 bytes).
constexpr std::size_t kHeaderSize = kPendingSaveMagic.size() + 1 + 1 + 2 + kDeviceAddressSize;
constexpr std::size_t kChecksumSize = 2;
constexpr unsigned kByteBits = 8;
constexpr unsigned kByteMask = 0xFF;
constexpr const char *kFileSuffix = ".pending";
constexpr const char *kStateFolderVariable = "ZELO_STATE_DIR";

std::uint8_t variantCode(DeviceVariant variant) { return static_cast<std::uint8_t>(variant); }

bool knownVariant(std::uint8_t code) {
    return code == variantCode(DeviceVariant::Standard) || code == variantCode(DeviceVariant::X);
}

std::string hexText(const DeviceAddress &address) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t byte : address) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

#ifdef _WIN32
fs::path environmentPath(const wchar_t *name) {
    const wchar_t *value = _wgetenv(name);
    return value != nullptr && *value != L'\0' ? fs::path(value) : fs::path();
}
#endif

fs::path environmentPath(const char *name) {
    const char *value = std::getenv(name);
    return value != nullptr && *value != '\0' ? fs::path(value) : fs::path();
}

}  // namespace

DeviceAddress deviceAddressOf(std::span<const std::uint8_t, kBlockSize> block) {
    DeviceAddress address{};
    std::copy_n(block.begin() + kDeviceAddressOffset, kDeviceAddressSize, address.begin());
    return address;
}

std::string encodePendingSave(const PendingSave &save) {
    const std::size_t length = blockLength(save.variant);
    std::string bytes(kPendingSaveMagic.begin(), kPendingSaveMagic.end());
    bytes += static_cast<char>(kPendingSaveFormatVersion);
    bytes += static_cast<char>(variantCode(save.variant));
    bytes += static_cast<char>(length >> kByteBits);
    bytes += static_cast<char>(length & kByteMask);
    bytes.append(save.address.begin(), save.address.end());
    bytes.append(save.block.begin(), save.block.begin() + static_cast<std::ptrdiff_t>(length));
    const std::uint16_t crc = pageCrc(std::span(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()));
    bytes += static_cast<char>(crc >> kByteBits);
    bytes += static_cast<char>(crc & kByteMask);
    return bytes;
}

bool decodePendingSave(const std::string &bytes, PendingSave &out) {
    if (bytes.size() < kHeaderSize + kChecksumSize) return false;
    const auto *data = reinterpret_cast<const std::uint8_t *>(bytes.data());
    const std::size_t body = bytes.size() - kChecksumSize;
    const std::uint16_t stored = static_cast<std::uint16_t>(data[body] << kByteBits | data[body + 1]);
    if (pageCrc(std::span(data, body)) != stored) return false;
    if (!std::equal(kPendingSaveMagic.begin(), kPendingSaveMagic.end(), bytes.begin())) return false;

    std::size_t at = kPendingSaveMagic.size();
    if (data[at++] != kPendingSaveFormatVersion) return false;
    const std::uint8_t variant = data[at++];
    const std::size_t length = static_cast<std::size_t>(data[at] << kByteBits | data[at + 1]);
    at += 2;
    if (!knownVariant(variant)) return false;
    PendingSave save;
    save.variant = static_cast<DeviceVariant>(variant);
    if (length != blockLength(save.variant) || body != kHeaderSize + length) return false;
    std::copy_n(data + at, kDeviceAddressSize, save.address.begin());
    std::copy_n(data + kHeaderSize, length, save.block.begin());
    // The address inside the block is the one the record is filed under.
    if (deviceAddressOf(save.block) != save.address) return false;
    out = save;
    return true;
}

PendingSaveStore::PendingSaveStore(fs::path folder, Persist persist)
    : folder_(std::move(folder)), persist_(std::move(persist)) {}

fs::path PendingSaveStore::userFolder() {
    if (fs::path overridden = environmentPath(kStateFolderVariable); !overridden.empty()) return overridden;
#ifdef _WIN32
    const fs::path appData = environmentPath(L"APPDATA");
    return appData.empty() ? fs::path() : appData / "ZE-LO";
#else
    if (fs::path state = environmentPath("XDG_STATE_HOME"); !state.empty()) return state / "zelo";
    const fs::path home = environmentPath("HOME");
    return home.empty() ? fs::path() : home / ".local" / "state" / "zelo";
#endif
}

fs::path PendingSaveStore::fileOf(const DeviceAddress &address) const {
    return folder_ / (hexText(address) + kFileSuffix);
}

bool PendingSaveStore::write(const PendingSave &save, std::string &error) {
    {
        std::lock_guard guard(lock_);
        if (!writeFile(save, error)) return false;
    }
    // The record must last before the first page is written.
    if (persist_ && !persist_()) {
        error = "cannot keep the record of this save";
        return false;
    }
    return true;
}

bool PendingSaveStore::writeFile(const PendingSave &save, std::string &error) {
    if (folder_.empty()) {
        error = "no folder for the record of unfinished saves";
        return false;
    }
    std::error_code failure;
    fs::create_directories(folder_, failure);
    return writeFileReplacing(fileOf(save.address), encodePendingSave(save), &error);
}

PendingLookup PendingSaveStore::read(const DeviceAddress &address, PendingSave &out) const {
    std::lock_guard guard(lock_);
    const fs::path file = fileOf(address);
    std::error_code failure;
    if (folder_.empty() || !fs::exists(file, failure)) return PendingLookup::None;
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    PendingSave save;
    if (!in.good() && !in.eof()) return PendingLookup::Damaged;
    if (!decodePendingSave(bytes, save) || save.address != address) return PendingLookup::Damaged;
    out = save;
    return PendingLookup::Found;
}

void PendingSaveStore::remove(const DeviceAddress &address) {
    bool removed = false;
    {
        std::lock_guard guard(lock_);
        std::error_code failure;
        removed = !folder_.empty() && fs::remove(fileOf(address), failure);
    }
    // A removal that does not last leaves a record the next connect finds
    // matching the accessory and drops.
    if (removed && persist_) persist_();
}

}  // namespace zelo::device
