// Intel HEX reading: the firmware-file reader with its established line
// rules, and a strict record parser for callers that must reject anything
// malformed.
#ifndef ZELO_DEVICE_HEX_FILE_H
#define ZELO_DEVICE_HEX_FILE_H

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string_view>
#include <vector>

namespace zelo::device {

// Results of readHexFile / readHexText.
enum HexResult : int {
    HexOk = 0,
    HexCannotOpen = 1,
    HexBadLineStart = 2,     // a line does not start with ':' (reading stops)
    HexBadChecksum = 4,      // some record's checksum was wrong (all were read)
    HexNoEndRecord = 5,      // the last record read was not an end-of-file record
    HexBeyondMemory = 6,     // a record reaches beyond 0xFFFF (reading stops)
};

// 64 KiB of memory as the reader fills it.
struct HexImage {
    static constexpr std::size_t kSize = 0x10000;
    static constexpr std::uint8_t kBlank = 0xFF;
    static constexpr std::uint32_t kNoLowest = kSize;

    std::vector<std::uint8_t> data = std::vector<std::uint8_t>(kSize, kBlank);
    std::vector<std::uint8_t> written = std::vector<std::uint8_t>(kSize, 0);
    std::uint32_t lowest = kNoLowest;
    std::uint32_t highest = 0;
    // Grows by each record's length field (words, in word mode).
    std::uint32_t count = 0;

    void clear();
    // address must be below kSize.
    void store(std::uint32_t address, std::uint8_t value);
};

// Clears image, then reads the file. Returns a HexResult.
int readHexFile(const std::filesystem::path &path, HexImage &image);
// The same rules on an already open byte stream (opened in binary mode:
// the reader drops a CR before LF itself).
int readHexText(std::istream &in, HexImage &image);

// Record types of the strict parser.
enum HexRecordType : std::uint8_t {
    HexData = 0x00,
    HexEndOfFile = 0x01,
    HexExtendedSegment = 0x02,
    HexStartSegment = 0x03,
    HexExtendedLinear = 0x04,
    HexStartLinear = 0x05,
};

// How the value of an extended address record becomes the base address.
inline constexpr int kHexLinearAddressShift = 16;
inline constexpr int kHexSegmentAddressShift = 4;

struct HexRecord {
    std::uint8_t type = HexData;
    std::uint16_t address = 0;
    std::vector<std::uint8_t> data;
};

// One record line without its line end: ':', hexadecimal digits only, the
// length matching the length field and a correct checksum. Anything else
// gives no record.
std::optional<HexRecord> parseHexRecord(std::string_view line);

}  // namespace zelo::device

#endif
