#include "config_record.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace zelo::device {

namespace {

constexpr unsigned kDeviceCodeExtensionShift = 5;  // E contributes 32 × E to the low byte
constexpr unsigned kDeviceCodeHighDivisor = 8;     // the high byte holds E / 8
constexpr std::uint8_t kDeviceCodeDeviceMask = 0x1F;
constexpr unsigned kByteBits = 8;
constexpr std::uint32_t kByteMask = 0xFF;
constexpr std::size_t kAddressLongPadding = 2;  // bytes after the address in the long form

std::size_t macroOffset(std::size_t m) {
    if (m >= kMacroCount) throw std::out_of_range("macro number out of range");
    return kMacrosOffset + m * kMacroRecordSize;
}

std::size_t keyIndex(std::size_t code) {
    if (code >= kKeyMapEntries) throw std::out_of_range("IR command code out of range");
    return code;
}

std::uint16_t loadBigEndian16(std::span<const std::uint8_t> block, std::size_t offset) {
    return static_cast<std::uint16_t>((block[offset] << kByteBits) | block[offset + 1]);
}

void storeBigEndian16(std::span<std::uint8_t> block, std::size_t offset, std::uint16_t value) {
    block[offset] = static_cast<std::uint8_t>(value >> kByteBits);
    block[offset + 1] = static_cast<std::uint8_t>(value & kByteMask);
}

std::string hexDigits(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::uint8_t byte : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%.2X", static_cast<unsigned>(byte));
        text += pair;
    }
    return text;
}

std::int64_t systemSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

std::size_t blockLength(DeviceVariant variant) {
    return variant == DeviceVariant::X ? kXBlockSize : kBlockSize;
}

std::size_t comparedLength(DeviceVariant variant) {
    // The image CRC of the standard model changes with every sealed write
    // and is not the user's change.
    return variant == DeviceVariant::X ? kXBlockSize : kImageCrcOffset;
}

std::optional<std::array<std::uint8_t, 2>> encodeDeviceCode(unsigned device, unsigned extension) {
    if (device > kDeviceCodeMaxDevice || extension > kDeviceCodeMaxExtension) return std::nullopt;
    return std::array<std::uint8_t, 2>{
        static_cast<std::uint8_t>((device + (extension << kDeviceCodeExtensionShift)) & kByteMask),
        static_cast<std::uint8_t>(extension / kDeviceCodeHighDivisor)};
}

DeviceCode decodeDeviceCode(std::uint8_t low, std::uint8_t high) {
    return DeviceCode{static_cast<std::uint8_t>(low & kDeviceCodeDeviceMask),
                      static_cast<std::uint8_t>(high * kDeviceCodeHighDivisor + (low >> kDeviceCodeExtensionShift))};
}

MacroRecord loadMacro(std::span<const std::uint8_t> block, std::size_t m) {
    const std::size_t base = macroOffset(m);
    MacroRecord record;
    record.stepCount = block[base + kMacroStepCountAt];
    for (std::size_t s = 0; s < kMacroSteps; ++s) {
        record.first[s] = block[base + kMacroFirstsAt + s];
        record.second[s] = block[base + kMacroSecondsAt + s];
        record.holdMs[s] = loadBigEndian16(block, base + kMacroHoldsAt + 2 * s);
        record.pauseMs[s] = loadBigEndian16(block, base + kMacroPausesAt + 2 * s);
    }
    return record;
}

void storeMacro(std::span<std::uint8_t> block, std::size_t m, const MacroRecord &record) {
    const std::size_t base = macroOffset(m);
    if (record.stepCount > kMacroSteps) throw std::invalid_argument("macro step count above the step limit");
    block[base + kMacroStepCountAt] = record.stepCount;
    for (std::size_t s = 0; s < kMacroSteps; ++s) {
        block[base + kMacroFirstsAt + s] = record.first[s];
        block[base + kMacroSecondsAt + s] = record.second[s];
        storeBigEndian16(block, base + kMacroHoldsAt + 2 * s, record.holdMs[s]);
        storeBigEndian16(block, base + kMacroPausesAt + 2 * s, record.pauseMs[s]);
    }
}

std::uint32_t loadLittleEndian32(std::span<const std::uint8_t> block, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) value = (value << kByteBits) | block[offset + i];
    return value;
}

void storeLittleEndian32(std::span<std::uint8_t> block, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) block[offset + i] = static_cast<std::uint8_t>((value >> (kByteBits * i)) & kByteMask);
}

ConfigRecord::ConfigRecord() : clock_(systemSeconds) {}

void ConfigRecord::connect(DeviceVariant variant, std::span<const std::uint8_t> defaultsBlock) {
    connected_ = true;
    variant_ = variant;
    defaults_ = defaultsBlock;
    readValid_ = false;
    revertible_ = false;
}

void ConfigRecord::disconnect() {
    connected_ = false;
    defaults_ = {};
    readValid_ = false;
    revertible_ = false;
}

void ConfigRecord::beginRead() {
    readValid_ = false;
    revertible_ = false;
}

void ConfigRecord::finishRead(bool complete) { readValid_ = complete; }

void ConfigRecord::acceptRead() { working_ = read_; }

bool ConfigRecord::hasUnsavedChanges() const {
    if (!connected_ || variant_ == DeviceVariant::Other) return false;
    const std::size_t n = comparedLength(variant_);
    return !std::equal(read_.begin(), read_.begin() + n, working_.begin());
}

void ConfigRecord::keepForRevert() {
    beforeCommit_ = read_;
    revertible_ = true;
}

void ConfigRecord::commitEdits() {
    keepForRevert();
    read_ = working_;
    committed_ = read_;
}

bool ConfigRecord::revertCommit() {
    if (!revertible_) return false;
    read_ = beforeCommit_;
    revertible_ = false;
    return true;
}

void ConfigRecord::confirmCommit() {
    if (!revertible_) return;
    revertible_ = false;
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        if (read_[i] != committed_[i]) working_[i] = read_[i];
    }
}

void ConfigRecord::copyFromDefaults(std::size_t start, std::size_t end) {
    end = std::min({end, blockLength(variant_), defaults_.size()});
    if (start >= end) return;
    std::copy(defaults_.begin() + static_cast<std::ptrdiff_t>(start), defaults_.begin() + static_cast<std::ptrdiff_t>(end),
              read_.begin() + static_cast<std::ptrdiff_t>(start));
}

void ConfigRecord::restoreProtected() {
    for (const ByteRange &range : kProtectedRanges) copyFromDefaults(range.start, range.end);
}

void ConfigRecord::restoreDefaults() {
    if (defaults_.empty()) return;
    keepForRevert();
    copyFromDefaults(kDefaultSettingsHead.start, kDefaultSettingsHead.end);
    copyFromDefaults(kDefaultSettingsTailStart, kBlockSize);
    committed_ = read_;
}

void ConfigRecord::adoptBlock(std::span<const std::uint8_t> block) {
    keepForRevert();
    std::copy_n(block.begin(), std::min(block.size(), kBlockSize), read_.begin());
    committed_ = read_;
}

void ConfigRecord::setClock(Clock clock) { clock_ = clock ? std::move(clock) : Clock(systemSeconds); }

bool ConfigRecord::stampTime() {
    const std::uint32_t stamp = loadLittleEndian32(read_, kTimeStampOffset);
    const std::int64_t now = clock_();
    if (stamp > kStampLowerBound && static_cast<std::int64_t>(stamp) <= now + kStampClockSlackSeconds) return false;
    // The field is 32 bits wide; the accessory keeps the low word.
    storeLittleEndian32(read_, kTimeStampOffset, static_cast<std::uint32_t>(now));
    return true;
}

MacroRecord ConfigRecord::readMacro(std::size_t m) const { return loadMacro(read_, m); }

void ConfigRecord::writeMacro(std::size_t m, const MacroRecord &record) { storeMacro(working_, m, record); }

KeyMapEntry ConfigRecord::readKey(std::size_t code) const {
    const std::size_t c = keyIndex(code);
    return KeyMapEntry{working_[kKeyMapFirstOffset + c], working_[kKeyMapSecondOffset + c]};
}

void ConfigRecord::writeKey(std::size_t code, std::uint8_t first, std::uint8_t second) {
    const std::size_t c = keyIndex(code);
    working_[kKeyMapFirstOffset + c] = first;
    working_[kKeyMapSecondOffset + c] = second;
}

UpdateCheckData ConfigRecord::updateCheckData(std::string_view firmwareVersion, std::string_view ldVersion) const {
    const std::span<const std::uint8_t> address(read_.data() + kDeviceAddressOffset, kDeviceAddressSize);
    UpdateCheckData data;
    data.deviceValue = loadLittleEndian32(read_, kDeviceValueOffset);
    data.timeStamp = loadLittleEndian32(read_, kTimeStampOffset);
    data.address = hexDigits(address);
    // The long form has two more bytes that nothing fills; they are reported
    // as zero rather than as whatever memory held.
    const std::array<std::uint8_t, kAddressLongPadding> padding{};
    data.addressLong = data.address + hexDigits(padding);
    data.firmwareVersion = std::string(firmwareVersion);
    data.ldVersion = std::string(ldVersion);
    return data;
}

}  // namespace zelo::device
