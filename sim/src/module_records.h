// What the Bluetooth module's boot loader and loader read from the serial
// stream. Loader text lines are hex records, ":" LL AAAA TT, L data bytes
// and CC, all as hex text; memory records are ">" LL AAAA "02" (hex text),
// L binary data bytes, CC (hex checksum).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelo::sim {

inline constexpr std::uint8_t kRecordStart = '>';
inline constexpr std::uint8_t kLoaderLineStart = ':';
// The address whose records are checksummed over their header text.
inline constexpr std::uint16_t kHeaderRecordAddress = 0x8000;

struct RecordResult {
    enum class Status { NeedMore, Good, Bad };
    Status status = Status::NeedMore;
    std::size_t consumed = 0;  // bytes of the stream the record took
    std::uint16_t address = 0;
    std::vector<std::uint8_t> data;
};

struct LoaderLineResult {
    enum class Status { NeedMore, Good, Bad };
    Status status = Status::NeedMore;
    std::size_t consumed = 0;  // bytes of the stream the line took
};

// Parses the loader line at the start of stream (stream[0] is ':'). Its
// length comes from its own length field, so terminators play no part; a
// line whose length field is not hex is Bad with only the ':' consumed.
LoaderLineResult parseLoaderLine(const std::vector<std::uint8_t> &stream);

// Parses the record at the start of stream (stream[0] is '>').
RecordResult parseRecord(const std::vector<std::uint8_t> &stream);

// The checksum a good record carries; header points at the 8 characters
// after '>'.
std::uint8_t recordChecksum(std::uint16_t address, const std::uint8_t *header,
                            const std::vector<std::uint8_t> &data);

}  // namespace zelo::sim
