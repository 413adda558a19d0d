#include "main_texts.h"

#include "fixed_texts.h"
#include "version.h"

namespace zelo::app {

namespace {

constexpr std::wstring_view kTitleFormat = L"ZE\u00B7LO v%s";
constexpr std::wstring_view kStandardStatusFormat = L"ZE\u00B7LO %s (v%s)";
constexpr std::wstring_view kXStatusFormat = L"ZE\u00B7LO X %s (v%s)";
constexpr std::wstring_view kPercentFormat = L"%s %";
constexpr std::string_view kVersionText = ZELO_TOOL_VERSION_TEXT;

}  // namespace

std::wstring mainWindowTitle() {
    // The version text is ASCII digits and a dot.
    const std::wstring version(kVersionText.begin(), kVersionText.end());
    return i18n::fillStrings(kTitleFormat, {version});
}

std::optional<std::wstring> connectionText(device::DeviceVariant variant, std::wstring_view connected,
                                           std::wstring_view firmware) {
    switch (variant) {
    case device::DeviceVariant::Standard:
        return i18n::fillStrings(kStandardStatusFormat, {connected, firmware});
    case device::DeviceVariant::X:
        return i18n::fillStrings(kXStatusFormat, {connected, firmware});
    default:
        return std::nullopt;
    }
}

std::wstring percentText(int percent) { return i18n::fillStrings(kPercentFormat, {std::to_wstring(percent)}); }

}  // namespace zelo::app
