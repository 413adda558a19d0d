// libFuzzer target for the module file decision: any bytes are raw
// module bytes, a converted HEX text or refused, and each outcome leaves
// the maintenance buffer as the file reader promises. Any broken
// invariant traps.
#include "firmware_files.h"
#include "hex_text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace {

using namespace zelo::device;
using Buffer = std::array<std::uint8_t, kMaintenanceBufferSize>;

constexpr std::uint8_t kEarlier = 0x5A;  // what an earlier file left in the buffer
constexpr std::uint8_t kBlank = HexImage::kBlank;
constexpr std::uint8_t kFirstPrintable = 0x20;
constexpr std::uint8_t kLastPrintable = 0x7E;

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool allBlank(auto first, auto last)
{
    return std::all_of(first, last, [](std::uint8_t b) { return b == kBlank; });
}

// The rule of the decision, written independently: printable text (or
// blanks) whose first non-blank character is ':' is HEX.
bool isBlankByte(std::uint8_t b) { return b == ' ' || b == '\t' || b == '\r' || b == '\n'; }

bool isText(std::span<const std::uint8_t> file)
{
    const auto printable = [](std::uint8_t b) { return b >= kFirstPrintable && b <= kLastPrintable; };
    return std::all_of(file.begin(), file.end(), [&](std::uint8_t b) { return isBlankByte(b) || printable(b); });
}

bool isHexText(std::span<const std::uint8_t> file)
{
    const auto first = std::find_if_not(file.begin(), file.end(), isBlankByte);
    return isText(file) && first != file.end() && *first == ':';
}

// The converted image written out as HEX, one record per 16 bytes that
// are not all blank (at least one), behind a linear base of 0.
std::string moduleImageAsHex(std::span<const std::uint8_t> image)
{
    const std::array<std::uint8_t, 2> base{0, 0};
    std::string text = zelo::fuzz::hexRecordLine(HexExtendedLinear, 0, base) + "\n";
    bool any = false;
    for (std::size_t at = 0; at < image.size(); at += zelo::fuzz::kRecordDataBytes) {
        const auto chunk = image.subspan(at, std::min(zelo::fuzz::kRecordDataBytes, image.size() - at));
        if (any && allBlank(chunk.begin(), chunk.end()))
            continue;
        text += zelo::fuzz::hexRecordLine(HexData, static_cast<std::uint16_t>(kModuleImageAddress + at), chunk) + "\n";
        any = true;
    }
    return text + zelo::fuzz::hexRecordLine(HexEndOfFile, 0, {}) + "\n";
}

void checkConvertedRoundTrip(const Buffer &buffer)
{
    const std::string text = moduleImageAsHex(std::span(buffer).first(kModuleImageSize));
    static Buffer again;
    again.fill(kEarlier);
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(text.data());
    require(moduleImageFromFileBytes({bytes, text.size()}, again) == ModuleFileFromHex);
    require(again == buffer);
}

void checkModule(std::span<const std::uint8_t> file)
{
    static Buffer buffer;
    buffer.fill(kEarlier);
    const int result = moduleImageFromFileBytes(file, buffer);
    const bool unchanged = std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == kEarlier; });
    switch (result) {
    case ModuleFileRaw: {
        require(!file.empty() && !isText(file));
        const std::size_t used = std::min(file.size(), buffer.size());
        require(std::equal(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(used), buffer.begin()));
        require(allBlank(buffer.begin() + static_cast<std::ptrdiff_t>(used), buffer.end()));
        break;
    }
    case ModuleFileFromHex:
        require(isHexText(file));
        require(allBlank(buffer.begin() + kModuleImageSize, buffer.end()));
        checkConvertedRoundTrip(buffer);
        break;
    case ModuleFileUnreadable:
        require(file.empty() && unchanged);
        break;
    case ModuleFileBadHex:
    case ModuleFileHexOutsideModule:
        require(isHexText(file) && unchanged);
        break;
    case ModuleFileTextNotHex:
        require(!file.empty() && isText(file) && !isHexText(file) && unchanged);
        break;
    default:
        require(false);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    checkModule({data, size});
    return 0;
}
