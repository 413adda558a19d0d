// The device code page's text form of the IR device code (D.E), its
// presets, and the two places of the configuration block that hold it.
#ifndef ZELO_PAGES_DEVICE_CODE_H
#define ZELO_PAGES_DEVICE_CODE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config_record.h"

namespace zelo::pages {

using DeviceCodeBytes = std::array<std::uint8_t, 2>;

struct DeviceCodePreset {
    std::wstring_view entryText;  // as listed; "%s" where the text "Default" goes
    std::wstring_view codeText;   // as put into the edit
    device::DeviceCode code;
};

inline constexpr std::size_t kPresetCount = 4;
inline constexpr std::size_t kCustomIndex = kPresetCount;  // the list entry after the presets
inline constexpr DeviceCodeBytes kDefaultDeviceCodeBytes{0x3A, 0x09};  // 26.73
// The page reads at most this many characters of the code edit.
inline constexpr std::size_t kDeviceCodeTextLimit = 19;

std::span<const DeviceCodePreset> deviceCodePresets();
// The five list entries in the current language.
std::vector<std::wstring> deviceCodeListTexts();
// The code text a preset puts into the edit; empty for Custom.
std::wstring_view presetCodeText(std::size_t index);

// What the page shows for a pair of code bytes.
struct DeviceCodeView {
    std::wstring text;      // "D.E"
    std::size_t listIndex;  // the matching preset, or kCustomIndex
};

// The stored code of the block, or the default code when not connected.
DeviceCodeBytes shownCodeBytes(std::span<const std::uint8_t> block, bool connected);
DeviceCodeView viewOf(DeviceCodeBytes bytes);

// Text "D.E" with exactly one point, digits on both sides (leading blanks
// and a sign allowed, anything after the digits ignored), D 0..31 and
// E 0..255. nullopt is the format error: a code out of range would
// otherwise be stored as a different code.
std::optional<DeviceCodeBytes> parseDeviceCode(std::wstring_view text);

// Writes both places of the code, whatever the variant.
void storeDeviceCode(DeviceCodeBytes bytes, std::span<std::uint8_t> block);
// Parses and stores; false (block unchanged) on a format error.
bool storeDeviceCodeText(std::wstring_view text, std::span<std::uint8_t> block);

}  // namespace zelo::pages

#endif
