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

// magic, format version, variant, block length (2 bytes), address, device
// value (4 bytes), the block before, the block written, then the CRC of all
// of that (2 bytes). Numbers high byte first.
constexpr std::size_t kDeviceValueSize = 4;
constexpr std::size_t kVersionAt = kPendingSaveMagic.size();
constexpr std::size_t kHeaderSize = kPendingSaveMagic.size() + 1 + 1 + 2 + kDeviceAddressSize + kDeviceValueSize;
constexpr std::size_t kFirstFormatHeaderSize = kPendingSaveMagic.size() + 1 + 1 + 2 + kDeviceAddressSize;
constexpr std::size_t kChecksumSize = 2;
constexpr unsigned kByteBits = 8;
constexpr unsigned kByteMask = 0xFF;
constexpr const char *kStateFolderVariable = "ZELO_STATE_DIR";
// A record is two blocks and a header, of any version a little more;
// anything this long is not one, and is not read whole into memory.
constexpr std::uintmax_t kLongestRecord = 1024 * 1024;

std::uint8_t variantCode(DeviceVariant variant) { return static_cast<std::uint8_t>(variant); }

bool knownVariant(std::uint8_t code) {
    return code == variantCode(DeviceVariant::Standard) || code == variantCode(DeviceVariant::X);
}

void appendBigEndian(std::string &bytes, std::uint32_t value, std::size_t width) {
    for (std::size_t i = width; i-- > 0;) bytes += static_cast<char>((value >> (i * kByteBits)) & kByteMask);
}

std::uint32_t loadBigEndian(const std::uint8_t *data, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) value = value << kByteBits | data[i];
    return value;
}

std::string hexText(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t byte : bytes) {
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

AccessoryKey accessoryKeyOf(std::span<const std::uint8_t, kBlockSize> block) {
    AccessoryKey key;
    std::copy_n(block.begin() + kDeviceAddressOffset, kDeviceAddressSize, key.address.begin());
    key.deviceValue = loadLittleEndian32(block, kDeviceValueOffset);
    return key;
}

std::string encodePendingSave(const PendingSave &save) {
    const std::size_t length = blockLength(save.variant);
    std::string bytes(kPendingSaveMagic.begin(), kPendingSaveMagic.end());
    bytes += static_cast<char>(kPendingSaveFormatVersion);
    bytes += static_cast<char>(variantCode(save.variant));
    appendBigEndian(bytes, static_cast<std::uint32_t>(length), 2);
    bytes.append(save.key.address.begin(), save.key.address.end());
    appendBigEndian(bytes, save.key.deviceValue, kDeviceValueSize);
    bytes.append(save.before.begin(), save.before.begin() + static_cast<std::ptrdiff_t>(length));
    bytes.append(save.block.begin(), save.block.begin() + static_cast<std::ptrdiff_t>(length));
    const std::uint16_t crc = pageCrc(std::span(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()));
    appendBigEndian(bytes, crc, kChecksumSize);
    return bytes;
}

namespace {

// Magic, version and CRC checked; the variant, length and identity follow.
// The variant and block length after the version byte, both formats alike;
// false for a variant this program does not know. at ends behind them.
bool readVariantAndLength(const std::uint8_t *data, std::size_t &at, PendingSave &save, std::size_t &length) {
    at = kVersionAt + 1;
    const std::uint8_t variant = data[at++];
    length = loadBigEndian(data + at, 2);
    at += 2;
    if (!knownVariant(variant)) return false;
    save.variant = static_cast<DeviceVariant>(variant);
    return true;
}

PendingDecode decodeFirstFormat(const std::uint8_t *data, std::size_t body, PendingSave &out) {
    if (body < kFirstFormatHeaderSize) return PendingDecode::Damaged;
    std::size_t at = 0;
    std::size_t length = 0;
    PendingSave save;
    if (!readVariantAndLength(data, at, save, length)) return PendingDecode::Damaged;
    save.knowsBefore = false;
    if (length != blockLength(save.variant) || body != kFirstFormatHeaderSize + length) return PendingDecode::Damaged;
    std::copy_n(data + kFirstFormatHeaderSize, length, save.block.begin());
    save.key = accessoryKeyOf(save.block);
    // The address inside the block is the one the record is filed under.
    if (!std::equal(save.key.address.begin(), save.key.address.end(), data + at)) return PendingDecode::Damaged;
    out = save;
    return PendingDecode::Decoded;
}

}  // namespace

PendingDecode decodePendingSave(const std::string &bytes, PendingSave &out) {
    if (bytes.size() < kVersionAt + 1 + kChecksumSize) return PendingDecode::Damaged;
    if (!std::equal(kPendingSaveMagic.begin(), kPendingSaveMagic.end(), bytes.begin())) return PendingDecode::Damaged;
    const auto *data = reinterpret_cast<const std::uint8_t *>(bytes.data());
    // A later program's record may be laid out otherwise: it is not ours to
    // judge, only to leave alone.
    if (data[kVersionAt] > kPendingSaveFormatVersion) return PendingDecode::Newer;
    const std::size_t body = bytes.size() - kChecksumSize;
    if (pageCrc(std::span(data, body)) != loadBigEndian(data + body, kChecksumSize)) return PendingDecode::Damaged;
    if (data[kVersionAt] == kPendingSaveFirstFormatVersion) return decodeFirstFormat(data, body, out);
    if (data[kVersionAt] != kPendingSaveFormatVersion || body < kHeaderSize) return PendingDecode::Damaged;

    std::size_t at = 0;
    std::size_t length = 0;
    PendingSave save;
    if (!readVariantAndLength(data, at, save, length)) return PendingDecode::Damaged;
    if (length != blockLength(save.variant) || body != kHeaderSize + 2 * length) return PendingDecode::Damaged;
    std::copy_n(data + at, kDeviceAddressSize, save.key.address.begin());
    at += kDeviceAddressSize;
    save.key.deviceValue = loadBigEndian(data + at, kDeviceValueSize);
    std::copy_n(data + kHeaderSize, length, save.before.begin());
    std::copy_n(data + kHeaderSize + length, length, save.block.begin());
    // The identity inside the block is the one the record is filed under.
    if (accessoryKeyOf(save.block) != save.key) return PendingDecode::Damaged;
    out = save;
    return PendingDecode::Decoded;
}

PendingSaveStore::PendingSaveStore(fs::path folder, Persist persist)
    : folder_(std::move(folder)), persist_(std::move(persist)) {}

fs::path PendingSaveStore::userFolder() {
    if (fs::path overridden = environmentPath(kStateFolderVariable); !overridden.empty()) return overridden;
#ifdef _WIN32
    const fs::path appData = environmentPath(L"APPDATA");
    return appData.empty() ? fs::path() : appData / "ZE-LO";
#else
    // A relative XDG_STATE_HOME is invalid and to be ignored: it would put
    // the records wherever the program happens to be started.
    if (fs::path state = environmentPath("XDG_STATE_HOME"); state.is_absolute()) return state / "zelo";
    const fs::path home = environmentPath("HOME");
    return home.empty() ? fs::path() : home / ".local" / "state" / "zelo";
#endif
}

fs::path PendingSaveStore::fileOf(const AccessoryKey &key) const {
    std::array<std::uint8_t, kDeviceValueSize> value{};
    for (std::size_t i = 0; i < kDeviceValueSize; ++i) {
        value[i] = static_cast<std::uint8_t>(key.deviceValue >> ((kDeviceValueSize - 1 - i) * kByteBits));
    }
    std::string name = hexText(key.address);
    name.append("-").append(hexText(value)).append(kPendingSaveFileSuffix);
    return folder_ / name;
}

fs::path PendingSaveStore::firstFormatFileOf(const DeviceAddress &address) const {
    return folder_ / (hexText(address) + std::string(kPendingSaveFileSuffix));
}

bool PendingSaveStore::write(const PendingSave &save, std::string &error) {
    bool written = false;
    {
        std::lock_guard guard(lock_);
        written = writeFile(save, error);
    }
    // The record must last before the first page is written.
    if (written && persist_ && !persist_()) {
        error = "cannot keep the record of this save";
        written = false;
    }
    // An older record left in place would describe another save of this
    // accessory; if this one is cut short, the next connect would offer to
    // finish or undo the wrong one.
    if (!written) remove(save.key);
    return written;
}

bool PendingSaveStore::writeFile(const PendingSave &save, std::string &error) {
    if (folder_.empty()) {
        error = "no folder for the record of unfinished saves";
        return false;
    }
    std::error_code failure;
    fs::create_directories(folder_, failure);
    return writeFileReplacing(fileOf(save.key), encodePendingSave(save), &error);
}

PendingLookup PendingSaveStore::readFile(const fs::path &file, PendingSave &out) const {
    std::error_code failure;
    const bool exists = fs::exists(file, failure);
    if (failure) return PendingLookup::Unreadable;
    if (!exists) return PendingLookup::None;
    const std::uintmax_t size = fs::file_size(file, failure);
    if (failure) return PendingLookup::Unreadable;
    if (size > kLongestRecord) return PendingLookup::Damaged;
    std::ifstream in(file, std::ios::binary);
    if (!in) return PendingLookup::Unreadable;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return PendingLookup::Unreadable;
    switch (decodePendingSave(bytes, out)) {
    case PendingDecode::Decoded:
        return PendingLookup::Found;
    case PendingDecode::Newer:
        return PendingLookup::Unreadable;
    case PendingDecode::Damaged:
        break;
    }
    return PendingLookup::Damaged;
}

PendingLookup PendingSaveStore::read(const AccessoryKey &key, PendingSave &out) const {
    std::lock_guard guard(lock_);
    if (folder_.empty()) return PendingLookup::None;
    PendingSave save;
    const PendingLookup found = readFile(fileOf(key), save);
    if (found == PendingLookup::None) return readFirstFormat(key, out);
    if (found != PendingLookup::Found) return found;
    if (save.key != key || !save.knowsBefore) return PendingLookup::Damaged;
    out = save;
    return PendingLookup::Found;
}

// A record the program before durable saves left, found where it kept it,
// so an upgrade does not lose the save it describes. One of another
// accessory with the same address is not this one's: it stays.
PendingLookup PendingSaveStore::readFirstFormat(const AccessoryKey &key, PendingSave &out) const {
    PendingSave save;
    const PendingLookup found = readFile(firstFormatFileOf(key.address), save);
    if (found != PendingLookup::Found) return found;
    if (save.knowsBefore) return PendingLookup::Damaged;
    if (save.key != key) return PendingLookup::None;
    out = save;
    return PendingLookup::Found;
}

// Goes with the accessory's own record: a later record supersedes it, and
// removing it for a settled save keeps it from being offered again. One of
// another accessory with the same address stays.
void PendingSaveStore::removeFirstFormat(const AccessoryKey &key) {
    std::error_code failure;
    const fs::path file = firstFormatFileOf(key.address);
    if (!fs::exists(file, failure)) return;
    PendingSave save;
    const PendingLookup found = readFile(file, save);
    if (found == PendingLookup::Unreadable || (found == PendingLookup::Found && save.key != key)) return;
    fs::remove(file, failure);
}

std::vector<PendingSave> PendingSaveStore::readAll() const {
    std::lock_guard guard(lock_);
    std::vector<PendingSave> saves;
    std::error_code failure;
    if (folder_.empty() || !fs::is_directory(folder_, failure)) return saves;
    for (fs::directory_iterator entry(folder_, failure), end; !failure && entry != end; entry.increment(failure)) {
        if (entry->path().extension() != kPendingSaveFileSuffix) continue;
        PendingSave save;
        if (readFile(entry->path(), save) == PendingLookup::Found && entry->path() == fileOf(save.key)) {
            saves.push_back(save);
        }
    }
    return saves;
}

void PendingSaveStore::remove(const AccessoryKey &key) {
    bool removed = false;
    {
        std::lock_guard guard(lock_);
        std::error_code failure;
        removed = !folder_.empty() && fs::remove(fileOf(key), failure);
        if (!folder_.empty()) removeFirstFormat(key);
    }
    // A removal that does not last leaves a record the next connect finds
    // matching the accessory and drops.
    if (removed && persist_) persist_();
}

}  // namespace zelo::device
