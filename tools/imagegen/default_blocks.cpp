#include "default_blocks.h"

#include "config_record.h"
#include "ps3_command_pairs.h"
#include "versions.h"

#include <algorithm>
#include <array>
#include <span>
#include <stdexcept>
#include <string_view>

namespace zelo::imagegen {

using namespace zelo::device;

namespace {

// Accessory settings that the program never shows; the accessory firmware
// gives them their meaning.
constexpr std::array<std::uint8_t, 11> kProtectedSettings{0, 0, 0, 1, 0, 3, 11, 0, 0, 3, 0};

// Accessory values before the alternate-code command list (offsets 22..40)
// and the byte after it (67).
constexpr std::array<std::uint8_t, 19> kAccessoryTuning{0x02, 0x58, 0x00, 0x64, 0x0A, 0x14, 0x03,
                                                        0xE8, 0x00, 0x32, 0x01, 0x2C, 0x05, 0x00,
                                                        0x1E, 0x00, 0x96, 0x08, 0x00};
constexpr std::uint8_t kAccessoryValuesLast = 0x00;

// The alternate device code 26.218, which controller keys are sent with.
constexpr unsigned kAlternateDevice = 26;
constexpr unsigned kAlternateExtension = 218;
constexpr unsigned kDefaultDevice = 26;
constexpr unsigned kDefaultExtension = 73;
constexpr std::size_t kAlternateCodeCount = 2;

// Values after the two alternate codes (offsets 74..87).
constexpr std::array<std::uint8_t, 14> kAlternateCodesTail{0x02, 0x00, 0x1E, 0x00, 0x0F, 0x00, 0x05,
                                                           0x28, 0x00, 0x00, 0x03, 0x01, 0x00, 0x00};

// Accessory settings at offsets 698..749.
constexpr std::array<std::uint8_t, 52> kProtectedValues{
    0x01, 0x00, 0x00, 0x00, 0x03, 0x20, 0x01, 0xF4, 0x00, 0x64, 0x00, 0x0A, 0x00, 0x00,
    0x05, 0x01, 0x02, 0x00, 0x00, 0x00, 0x1C, 0x00, 0x27, 0x10, 0x00, 0x3C, 0x00, 0x00,
    0x10, 0x08, 0x04, 0x02, 0x01, 0x00, 0x00, 0x00, 0x00, 0x96, 0x00, 0xFA, 0x01, 0x00,
    0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

constexpr std::uint8_t kLowBatteryFlashOn = 1;
constexpr std::uint8_t kReceiverInternal = 0;
constexpr std::uint8_t kReceiverAutosense = 4;
constexpr std::uint16_t kPsHoldStandardMs = 2500;
constexpr std::uint16_t kPsHoldXMs = 3750;
constexpr std::uint16_t kStepHoldMs = 150;
constexpr std::uint16_t kStepPauseMs = 450;
constexpr std::size_t kPowerOffMacro = 0;
constexpr std::uint8_t kErased = 0xFF;

struct VariantDefaults {
    std::string_view layoutVersion;
    std::uint8_t receiverMode;
    std::uint16_t psHoldMs;
    std::size_t size;
};

template <std::size_t N>
void put(std::span<std::uint8_t> block, std::size_t offset, const std::array<std::uint8_t, N> &bytes) {
    std::copy(bytes.begin(), bytes.end(), block.begin() + static_cast<std::ptrdiff_t>(offset));
}

void putText(std::span<std::uint8_t> block, std::size_t offset, std::string_view text) {
    std::copy(text.begin(), text.end(), block.begin() + static_cast<std::ptrdiff_t>(offset));
}

std::array<std::uint8_t, 2> deviceCode(unsigned device, unsigned extension) {
    const auto bytes = encodeDeviceCode(device, extension);
    if (!bytes) throw std::logic_error("default device code out of range");
    return *bytes;
}

// The command codes that the IR transmit test sends with the alternate
// device code: the controller keys, in list order; unused slots hold NONE.
void putAlternateCodeCommands(std::span<std::uint8_t> block) {
    std::size_t slot = 0;
    for (const Ps3CommandPair &command : kPs3CommandPairs) {
        if (!command.controllerKey) continue;
        if (slot == kAlternateCodeCommandCount) throw std::logic_error("too many controller keys");
        block[kAlternateCodeCommandsOffset + slot++] = command.code;
    }
    for (; slot < kAlternateCodeCommandCount; ++slot) block[kAlternateCodeCommandsOffset + slot] = kNoCommandByte;
}

void putAccessoryValues(std::span<std::uint8_t> block) {
    put(block, kProtectedSettingsOffset, kProtectedSettings);
    put(block, kAccessoryValuesOffset, kAccessoryTuning);
    putAlternateCodeCommands(block);
    block[endOf(Field::AccessoryValues) - 1] = kAccessoryValuesLast;
    put(block, kDeviceCodeOffset, deviceCode(kDefaultDevice, kDefaultExtension));
    for (std::size_t i = 0; i < kAlternateCodeCount; ++i)
        put(block, kAlternateCodesOffset + 2 * i, deviceCode(kAlternateDevice, kAlternateExtension));
    put(block, kAlternateCodesOffset + 2 * kAlternateCodeCount, kAlternateCodesTail);
    put(block, kProtectedValuesOffset, kProtectedValues);
}

// PS held long enough to reach the console's power menu, then DOWN ×3, UP,
// OK/X ×2 to select "turn off" and confirm.
MacroRecord powerOffMacro(std::uint16_t psHoldMs) {
    constexpr std::array<std::uint8_t, 7> kSteps{kPs3CodePs, kPs3CodeDown, kPs3CodeDown, kPs3CodeDown,
                                                 kPs3CodeUp, kPs3CodeOkX,  kPs3CodeOkX};
    MacroRecord macro;
    macro.stepCount = static_cast<std::uint8_t>(kSteps.size());
    for (std::size_t s = 0; s < kSteps.size(); ++s) {
        const Ps3CommandPair *command = findPs3Command(kSteps[s]);
        macro.first[s] = command->first;
        macro.second[s] = command->second;
        macro.holdMs[s] = s == 0 ? psHoldMs : kStepHoldMs;
        macro.pauseMs[s] = kStepPauseMs;
    }
    return macro;
}

void putKeyMap(std::span<std::uint8_t> block) {
    for (std::size_t c = 0; c < kKeyMapEntries; ++c) {
        const Ps3CommandPair *command = findPs3Command(static_cast<std::uint8_t>(c));
        block[kKeyMapFirstOffset + c] = command ? command->first : kNoCommandByte;
        block[kKeyMapSecondOffset + c] = command ? command->second : kNoCommandByte;
    }
    for (auto [irCode, ps3Code] : {std::pair{kIrCodeEjectAlias, kPs3CodeEject},
                                   std::pair{kIrCodePowerOffMacro, kPs3CodePowerOffMacro}}) {
        const Ps3CommandPair *command = findPs3Command(ps3Code);
        block[kKeyMapFirstOffset + irCode] = command->first;
        block[kKeyMapSecondOffset + irCode] = command->second;
    }
}

// Configuration page 2, which only the standard model has: the firmware
// version the configuration belongs to and copies of the device codes.
void putStandardTail(std::span<std::uint8_t> block) {
    std::fill(block.begin() + static_cast<std::ptrdiff_t>(kFirmwareVersionOffset), block.end(), kErased);
    putText(block, kFirmwareVersionOffset, kImageAVersion);
    block[kPowerTrackingOffset] = 0;
    std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(kDeviceCodeOffset), widthOf(Field::DeviceCodeCopy),
                block.begin() + static_cast<std::ptrdiff_t>(kDeviceCodeCopyOffset));
    std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(kAlternateCodesOffset), widthOf(Field::AlternateCodeCopies),
                block.begin() + static_cast<std::ptrdiff_t>(kAlternateCodeCopiesOffset));
}

std::vector<std::uint8_t> buildBlock(const VariantDefaults &variant) {
    std::vector<std::uint8_t> block(variant.size, 0);
    putText(block, kLayoutVersionOffset, variant.layoutVersion);
    block[kIrReceiverModeOffset] = variant.receiverMode;
    block[kLowBatteryFlashOffset] = kLowBatteryFlashOn;
    putAccessoryValues(block);
    storeMacro(block, kPowerOffMacro, powerOffMacro(variant.psHoldMs));
    putKeyMap(block);
    if (variant.size == kBlockSize) putStandardTail(block);
    return block;
}

}  // namespace

std::vector<std::uint8_t> defaultBlockStandard() {
    return buildBlock({kLayoutVersionStandard, kReceiverInternal, kPsHoldStandardMs, kBlockSize});
}

std::vector<std::uint8_t> defaultBlockX() {
    return buildBlock({kLayoutVersionX, kReceiverAutosense, kPsHoldXMs, kXBlockSize});
}

}  // namespace zelo::imagegen
