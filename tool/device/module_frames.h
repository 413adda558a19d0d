// The byte formats of the Bluetooth module's boot loader: the loader text cut
// into the lines it is uploaded as, and the memory records that carry the
// module image.
#ifndef ZELO_DEVICE_MODULE_FRAMES_H
#define ZELO_DEVICE_MODULE_FRAMES_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zelo::device {

// Record header: '>' + 2 length digits + 4 address digits + "02".
inline constexpr std::size_t kRecordHeaderLength = 9;
inline constexpr std::size_t kRecordChecksumLength = 2;
inline constexpr std::size_t kRecordMaxData = 0xFF;
// The record at this address is the module's header: its last data byte is
// an inner checksum, and its record checksum runs over the header text.
inline constexpr std::uint16_t kModuleHeaderAddress = 0x8000;

// Lines of a loader text. A line ends at CR, LF or the end mark, which is
// consumed, so CR LF yields an empty line after each line. The text ends
// where a line would begin with the end mark or would run past the buffer;
// an unterminated tail is not a line.
std::vector<std::span<const std::uint8_t>> loaderLines(std::span<const std::uint8_t> text);

// The bytes of one memory record: header text, data in binary (for the
// header address with its inner checksum in the last byte), checksum digits.
// data must hold 1 to kRecordMaxData bytes.
std::vector<std::uint8_t> memoryRecord(std::uint16_t address, std::span<const std::uint8_t> data);

}  // namespace zelo::device

#endif
