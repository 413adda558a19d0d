// Settings files (.zelo): the user's settings as readable UTF-8 JSON, and
// reading such a file back. A file comes from anywhere, so reading checks
// all of it before anything is applied, and every refusal names the field
// and the reason.
#ifndef ZELO_SETTINGS_SETTINGS_FILE_H
#define ZELO_SETTINGS_SETTINGS_FILE_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings_document.h"

namespace zelo::settings {

inline constexpr std::string_view kFormatName = "ZE-LO settings";
inline constexpr int kFormatVersion = 1;
inline constexpr std::string_view kFileExtension = ".zelo";
// Larger files are refused unread.
inline constexpr std::size_t kMaxFileSize = std::size_t{1} << 20;

std::string writeSettingsFile(const SettingsDocument &document);

struct ReadResult {
    std::optional<SettingsDocument> document;
    std::string refusal;  // "field: reason" when document is empty
};
ReadResult readSettingsFile(std::string_view text);

// The whole import: read, check, then apply to the block at once. A refused
// file leaves the block as it was.
struct ImportResult {
    bool applied = false;
    std::string refusal;
    std::vector<std::string> warnings;  // what the target model lacks
};
ImportResult importSettings(std::string_view text, DeviceVariant target, std::span<std::uint8_t> block);

}  // namespace zelo::settings

#endif
