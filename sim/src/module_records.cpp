#include "module_records.h"

#include <optional>

namespace zelo::sim {

namespace {

constexpr std::size_t kHeaderLength = 9;  // '>' + 2 length + 4 address + 2 type
constexpr std::size_t kLengthAt = 1;
constexpr std::size_t kAddressAt = 3;
constexpr std::size_t kTypeAt = 7;
constexpr std::size_t kLengthDigits = 2;
constexpr std::size_t kAddressDigits = 4;
constexpr std::size_t kTypeDigits = 2;
constexpr std::size_t kChecksumLength = 2;
constexpr std::uint8_t kDataType = 0x02;
constexpr int kNibbleBits = 4;
constexpr int kByteBits = 8;
constexpr unsigned kByteMask = 0xFF;
constexpr unsigned kDecimalDigits = 10;

std::optional<unsigned> hexDigit(std::uint8_t c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A') + kDecimalDigits;
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a') + kDecimalDigits;
    return std::nullopt;
}

std::optional<unsigned> hexNumber(const std::vector<std::uint8_t> &text, std::size_t at, std::size_t digits) {
    unsigned value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const auto digit = hexDigit(text[at + i]);
        if (!digit) return std::nullopt;
        value = (value << kNibbleBits) | *digit;
    }
    return value;
}

std::uint8_t twosComplement(unsigned sum) { return static_cast<std::uint8_t>((0u - sum) & kByteMask); }

// Loader lines: ':' then length, address, type, data and checksum as hex.
constexpr std::size_t kLineFixedDigits = 10;  // length 2, address 4, type 2, checksum 2
constexpr unsigned kLineDataType = 0x00;
constexpr unsigned kLineEndType = 0x01;

}  // namespace

LoaderLineResult parseLoaderLine(const std::vector<std::uint8_t> &stream) {
    LoaderLineResult result;
    if (stream.size() < kLengthAt + kLengthDigits) return result;
    const auto length = hexNumber(stream, kLengthAt, kLengthDigits);
    if (!length) {
        result.status = LoaderLineResult::Status::Bad;
        result.consumed = kLengthAt;
        return result;
    }
    const std::size_t total = kLengthAt + kLineFixedDigits + 2 * *length;
    if (stream.size() < total) return result;
    result.consumed = total;
    unsigned sum = 0;
    for (std::size_t at = kLengthAt; at < total; at += kLengthDigits) {
        const auto byte = hexNumber(stream, at, kLengthDigits);
        if (!byte) {
            result.status = LoaderLineResult::Status::Bad;
            return result;
        }
        sum += *byte;
    }
    const auto type = hexNumber(stream, kTypeAt, kTypeDigits);
    const bool known = type == kLineDataType || type == kLineEndType;
    result.status = known && (sum & kByteMask) == 0 ? LoaderLineResult::Status::Good : LoaderLineResult::Status::Bad;
    return result;
}

std::uint8_t recordChecksum(std::uint16_t address, const std::uint8_t *header,
                            const std::vector<std::uint8_t> &data) {
    unsigned sum = 0;
    if (address == kHeaderRecordAddress) {
        for (std::size_t i = 0; i + 1 < kHeaderLength; ++i) sum += header[i];
    } else {
        sum = static_cast<unsigned>(data.size()) + (address & kByteMask) + (address >> kByteBits) + kDataType;
    }
    for (std::uint8_t byte : data) sum += byte;
    return twosComplement(sum);
}

RecordResult parseRecord(const std::vector<std::uint8_t> &stream) {
    RecordResult result;
    if (stream.size() < kHeaderLength) return result;
    const auto length = hexNumber(stream, kLengthAt, kLengthDigits);
    const auto address = hexNumber(stream, kAddressAt, kAddressDigits);
    const auto type = hexNumber(stream, kTypeAt, kTypeDigits);
    if (!length || !address || type != kDataType) {
        result.status = RecordResult::Status::Bad;
        result.consumed = kHeaderLength;
        return result;
    }
    const std::size_t total = kHeaderLength + *length + kChecksumLength;
    if (stream.size() < total) return result;
    result.consumed = total;
    result.address = static_cast<std::uint16_t>(*address);
    result.data.assign(stream.begin() + kHeaderLength, stream.begin() + kHeaderLength + *length);
    const auto checksum = hexNumber(stream, kHeaderLength + *length, kChecksumLength);
    const bool good = checksum && *checksum == recordChecksum(result.address, &stream[kLengthAt], result.data);
    result.status = good ? RecordResult::Status::Good : RecordResult::Status::Bad;
    return result;
}

}  // namespace zelo::sim
