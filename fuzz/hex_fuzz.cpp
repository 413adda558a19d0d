// libFuzzer target for the two readers of untrusted HEX text: the firmware
// file reader and the module file decision. Any broken invariant traps.
#include "firmware_files.h"
#include "hex_file.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

using namespace zelo::device;

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Scanning 64 KiB is bookkeeping, not code under test: keep it out of the
// coverage feedback, which would otherwise dominate the run time.
__attribute__((no_sanitize("coverage"))) void checkImage(const HexImage &image)
{
    std::uint32_t lowest = HexImage::kNoLowest;
    std::uint32_t highest = 0;
    for (std::uint32_t address = 0; address < HexImage::kSize; ++address) {
        if (!image.written[address]) {
            require(image.data[address] == HexImage::kBlank);
            continue;
        }
        lowest = std::min(lowest, address);
        highest = std::max(highest, address);
    }
    require(image.lowest == lowest && image.highest == highest);
    if (image.count > 0)
        require(image.lowest <= image.highest);
}

void checkReader(const std::string &text)
{
    std::istringstream in(text);
    static HexImage image;
    const int result = readHexText(in, image);
    require(result == HexOk || result == HexBadLineStart || result == HexBadChecksum ||
            result == HexNoEndRecord || result == HexBeyondMemory);
    checkImage(image);
}

void checkRecords(const std::string &text)
{
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const auto record = parseHexRecord(line);
        if (record)
            require(line.size() == 2 * record->data.size() + 11);
    }
}

void checkModule(const std::uint8_t *data, std::size_t size)
{
    constexpr std::uint8_t kEarlier = 0x5A;
    static std::array<std::uint8_t, kMaintenanceBufferSize> buffer;
    buffer.fill(kEarlier);
    const int result = moduleImageFromFileBytes({data, size}, buffer);
    const auto unchanged = [](std::uint8_t b) { return b == kEarlier; };
    switch (result) {
    case ModuleFileRaw:
        require(size > 0 && std::equal(data, data + std::min(size, buffer.size()), buffer.begin()));
        break;
    case ModuleFileFromHex:
        require(std::all_of(buffer.begin() + kModuleImageSize, buffer.end(),
                            [](std::uint8_t b) { return b == HexImage::kBlank; }));
        break;
    case ModuleFileUnreadable:
        require(size == 0);
        [[fallthrough]];
    case ModuleFileBadHex:
    case ModuleFileHexOutsideModule:
        require(std::all_of(buffer.begin(), buffer.end(), unchanged));
        break;
    default:
        require(false);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    checkReader(text);
    checkRecords(text);
    checkModule(data, size);
    return 0;
}
