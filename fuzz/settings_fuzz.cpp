// libFuzzer target for the settings file reader: any text either is refused
// with a named field and leaves the block alone, or applies without
// touching a byte the file does not carry. Any broken invariant traps.
#include "settings_file.h"
#include "settings_rules.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using namespace zelo::settings;

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void checkImport(std::string_view text, DeviceVariant target)
{
    std::array<std::uint8_t, zelo::device::kBlockSize> block;
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i * 7);
    const auto before = block;
    const ImportResult result = importSettings(text, target, block);
    if (!result.applied) {
        require(block == before);
        require(result.refusal.find(": ") != std::string::npos);
        return;
    }
    for (std::size_t offset = 0; offset < block.size(); ++offset)
        if (!inFile(fieldAt(offset)))
            require(block[offset] == before[offset]);
    // Whatever was applied reads back as a file of its own.
    const std::string again = writeSettingsFile(documentOf(block, target, "", ""));
    require(readSettingsFile(again).document.has_value());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    checkImport(text, DeviceVariant::Standard);
    checkImport(text, DeviceVariant::X);
    return 0;
}
