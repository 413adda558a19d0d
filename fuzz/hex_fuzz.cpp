// libFuzzer target for the firmware file reader and the strict record
// parser, both fed untrusted HEX text. Any broken invariant traps.
#include "hex_file.h"
#include "hex_text.h"

#include <algorithm>
#include <cctype>
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
// coverage feedback and the per-byte sanitizer checks, which would
// otherwise dominate the run time. The sizes are checked first, so the
// plain pointers stay within the image.
__attribute__((no_sanitize("coverage", "address", "undefined"))) void checkImage(const HexImage &image)
{
    require(image.data.size() == HexImage::kSize && image.written.size() == HexImage::kSize);
    const std::uint8_t *data = image.data.data();
    const std::uint8_t *written = image.written.data();
    std::uint32_t lowest = HexImage::kNoLowest;
    std::uint32_t highest = 0;
    bool blankWhereUnwritten = true;
    for (std::uint32_t address = 0; address < HexImage::kSize; ++address) {
        if (!written[address]) {
            blankWhereUnwritten &= data[address] == HexImage::kBlank;
            continue;
        }
        lowest = std::min(lowest, address);
        highest = std::max(highest, address);
    }
    require(blankWhereUnwritten);
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
        if (!record)
            continue;
        // A record the strict parser accepts is exactly what writing it gives.
        std::string upper = line;
        for (char &c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        require(upper == zelo::fuzz::hexRecordLine(record->type, record->address, record->data));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    checkReader(text);
    checkRecords(text);
    return 0;
}
