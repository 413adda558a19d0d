#include "device_code.h"

#include <algorithm>

#include "catalogue.h"
#include "number_text.h"

namespace zelo::pages {
namespace {

// The first entry's "%s" takes the catalogue's "Default".
constexpr std::array<DeviceCodePreset, kPresetCount> kPresets{{
    {L"26.73 DVD1a (%s)", L"26.73", {26, 73}},
    {L"26.18 Portable DVD", L"26.18", {26, 18}},
    {L"26.34 DVD2a", L"26.34", {26, 34}},
    {L"26.250 DVD3a", L"26.250", {26, 250}},
}};

constexpr std::wstring_view kTextMarker = L"%s";
constexpr wchar_t kPoint = L'.';

std::wstring entryText(const DeviceCodePreset &preset) {
    std::wstring text(preset.entryText);
    const std::size_t marker = text.find(kTextMarker);
    if (marker != std::wstring::npos) text.replace(marker, kTextMarker.size(), i18n::text(i18n::Msg::Default));
    return text;
}

DeviceCodeBytes bytesOf(device::DeviceCode code) {
    return *device::encodeDeviceCode(code.device, code.extension);
}

}  // namespace

std::span<const DeviceCodePreset> deviceCodePresets() { return kPresets; }

std::vector<std::wstring> deviceCodeListTexts() {
    std::vector<std::wstring> texts;
    for (const DeviceCodePreset &preset : kPresets) texts.push_back(entryText(preset));
    texts.push_back(i18n::text(i18n::Msg::Custom));
    return texts;
}

std::wstring_view presetCodeText(std::size_t index) {
    return index < kPresetCount ? kPresets[index].codeText : std::wstring_view{};
}

DeviceCodeBytes shownCodeBytes(std::span<const std::uint8_t> block, bool connected) {
    if (!connected) return kDefaultDeviceCodeBytes;
    return {block[device::kDeviceCodeOffset], block[device::kDeviceCodeOffset + 1]};
}

DeviceCodeView viewOf(DeviceCodeBytes bytes) {
    const device::DeviceCode code = device::decodeDeviceCode(bytes[0], bytes[1]);
    DeviceCodeView view{std::to_wstring(code.device) + kPoint + std::to_wstring(code.extension), kCustomIndex};
    // The default preset matches on the bytes; the others on the code.
    if (bytes == kDefaultDeviceCodeBytes) {
        view.listIndex = 0;
        return view;
    }
    for (std::size_t i = 1; i < kPresetCount; ++i)
        if (kPresets[i].code == code) view.listIndex = i;
    return view;
}

std::optional<DeviceCodeBytes> parseDeviceCode(std::wstring_view text) {
    text = text.substr(0, std::min(text.size(), kDeviceCodeTextLimit));
    if (std::count(text.begin(), text.end(), kPoint) != 1) return std::nullopt;
    const std::size_t point = text.find(kPoint);
    // A part without digits counts as 0, so "26." is the code 26.0.
    const std::optional<long long> device = leadingNumber(text.substr(0, point)).value_or(0);
    const std::optional<long long> extension = leadingNumber(text.substr(point + 1)).value_or(0);
    if (*device < 0 || *extension < 0) return std::nullopt;
    if (*device > device::kDeviceCodeMaxDevice || *extension > device::kDeviceCodeMaxExtension) return std::nullopt;
    return bytesOf({static_cast<std::uint8_t>(*device), static_cast<std::uint8_t>(*extension)});
}

void storeDeviceCode(DeviceCodeBytes bytes, std::span<std::uint8_t> block) {
    for (std::size_t offset : {device::kDeviceCodeOffset, device::kDeviceCodeCopyOffset}) {
        block[offset] = bytes[0];
        block[offset + 1] = bytes[1];
    }
}

bool storeDeviceCodeText(std::wstring_view text, std::span<std::uint8_t> block) {
    const std::optional<DeviceCodeBytes> bytes = parseDeviceCode(text);
    if (!bytes) return false;
    storeDeviceCode(*bytes, block);
    return true;
}

}  // namespace zelo::pages
