#include "module_frames.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "images.h"

namespace zelo::device {

namespace {

constexpr std::uint8_t kCarriageReturn = 0x0D;
constexpr std::uint8_t kLineFeed = 0x0A;
constexpr unsigned kRecordType = 0x02;
constexpr unsigned kByteMask = 0xFF;
constexpr int kByteBits = 8;
// The header text after '>' that the header record's checksum covers.
constexpr std::size_t kHeaderDigits = kRecordHeaderLength - 1;

bool endsLine(std::uint8_t byte) { return byte == kCarriageReturn || byte == kLineFeed || byte == kImageEndMark; }

std::uint8_t twosComplement(unsigned sum) { return static_cast<std::uint8_t>((0u - sum) & kByteMask); }

unsigned sumOf(std::span<const std::uint8_t> bytes) { return std::accumulate(bytes.begin(), bytes.end(), 0u); }

// Hex digits for both the header and the checksum; the buffer also takes
// snprintf's terminator.
void appendText(std::vector<std::uint8_t> &out, const char *text, std::size_t length) {
    out.insert(out.end(), text, text + length);
}

void appendHeader(std::vector<std::uint8_t> &out, std::size_t length, std::uint16_t address) {
    char text[kRecordHeaderLength + 1];
    std::snprintf(text, sizeof text, ">%.2X%.4X%.2X", static_cast<unsigned>(length), static_cast<unsigned>(address),
                  kRecordType);
    appendText(out, text, kRecordHeaderLength);
}

void appendChecksum(std::vector<std::uint8_t> &out, std::uint8_t checksum) {
    char text[kRecordChecksumLength + 1];
    std::snprintf(text, sizeof text, "%.2X", static_cast<unsigned>(checksum));
    appendText(out, text, kRecordChecksumLength);
}

}  // namespace

std::vector<std::span<const std::uint8_t>> loaderLines(std::span<const std::uint8_t> text) {
    std::vector<std::span<const std::uint8_t>> lines;
    std::size_t at = 0;
    while (at < text.size() && text[at] != kImageEndMark) {
        const auto rest = text.subspan(at);
        const auto end = std::find_if(rest.begin(), rest.end(), endsLine);
        if (end == rest.end()) {
            break;
        }
        const auto length = static_cast<std::size_t>(end - rest.begin());
        lines.push_back(rest.first(length));
        at += length + 1;
    }
    return lines;
}

std::vector<std::uint8_t> memoryRecord(std::uint16_t address, std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> record;
    record.reserve(kRecordHeaderLength + data.size() + kRecordChecksumLength);
    appendHeader(record, data.size(), address);
    record.insert(record.end(), data.begin(), data.end());
    const auto sent = std::span<std::uint8_t>(record).subspan(kRecordHeaderLength);
    unsigned sum = 0;
    if (address == kModuleHeaderAddress) {
        // The module checks its header by this byte before it runs the image.
        sent.back() = twosComplement(sumOf(sent.first(sent.size() - 1)));
        sum = sumOf(std::span<const std::uint8_t>(record).subspan(1, kHeaderDigits));
    } else {
        sum = static_cast<unsigned>(data.size()) + (address & kByteMask) + (address >> kByteBits) + kRecordType;
    }
    appendChecksum(record, twosComplement(sum + sumOf(sent)));
    return record;
}

}  // namespace zelo::device
