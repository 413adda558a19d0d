#include "report_descriptor.h"

#include <algorithm>
#include <map>

namespace zelo::hid::linux_backend {

namespace {

// Item tags with their type bits (the low two size bits masked off).
constexpr std::uint8_t kInput = 0x80;
constexpr std::uint8_t kOutput = 0x90;
constexpr std::uint8_t kFeature = 0xB0;
constexpr std::uint8_t kReportSize = 0x74;
constexpr std::uint8_t kReportId = 0x84;
constexpr std::uint8_t kReportCount = 0x94;
constexpr std::uint8_t kPush = 0xA4;
constexpr std::uint8_t kPop = 0xB4;
constexpr std::uint8_t kLongItem = 0xFE;
constexpr std::uint8_t kTagMask = 0xFC;
constexpr std::uint8_t kSizeMask = 0x03;
constexpr std::uint32_t kFourByteCode = 3;
constexpr std::uint32_t kBitsPerByte = 8;
// The report-ID byte Windows counts in every report length.
constexpr std::uint32_t kIdByte = 1;
// hidraw's buffer for one report (the kernel's HID_MAX_BUFFER_SIZE): a
// descriptor declaring a longer report describes nothing hidraw delivers,
// and its length would only size buffers the reader cannot fill.
constexpr std::uint64_t kMaxReportBytes = 16384;
// Bits are counted up to just past the limit, so no sum of item sizes
// (each up to 2^32 x 2^32 bits) can wrap around to a small length.
constexpr std::uint64_t kBitsPastLimit = (kMaxReportBytes + 1) * kBitsPerByte;

struct Globals {
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;
};

// Bits per report ID, for one report type.
using BitsById = std::map<std::uint32_t, std::uint64_t>;

std::uint32_t itemValue(const std::uint8_t *data, std::uint32_t size) {
    std::uint32_t value = 0;
    for (std::uint32_t i = 0; i < size; ++i) {
        value |= static_cast<std::uint32_t>(data[i]) << (kBitsPerByte * i);
    }
    return value;
}

std::uint64_t longestBits(const BitsById &bits) {
    std::uint64_t longest = 0;
    for (const auto &[id, count] : bits) {
        longest = std::max(longest, count);
    }
    return longest;
}

std::uint32_t longestReport(const BitsById &bits) {
    const std::uint64_t longest = longestBits(bits);
    if (longest == 0) {
        return 0;
    }
    return static_cast<std::uint32_t>((longest + kBitsPerByte - 1) / kBitsPerByte) + kIdByte;
}

bool withinLimit(const BitsById &bits) { return longestBits(bits) <= kMaxReportBytes * kBitsPerByte; }

class Parser {
public:
    void item(std::uint8_t tag, std::uint32_t value) {
        switch (tag) {
        case kInput: add(input_); break;
        case kOutput: add(output_); break;
        case kFeature: add(feature_); break;
        case kReportSize: globals_.reportSize = value; break;
        case kReportCount: globals_.reportCount = value; break;
        case kReportId:
            globals_.reportId = value;
            numbered_ = true;
            break;
        case kPush: stack_.push_back(globals_); break;
        case kPop:
            if (!stack_.empty()) {
                globals_ = stack_.back();
                stack_.pop_back();
            }
            break;
        default: break;
        }
    }

    bool withinLimits() const { return withinLimit(input_) && withinLimit(output_) && withinLimit(feature_); }

    ReportLayout layout() const {
        ReportLayout result;
        result.lengths.input = longestReport(input_);
        result.lengths.output = longestReport(output_);
        result.lengths.feature = longestReport(feature_);
        result.numbered = numbered_;
        return result;
    }

private:
    void add(BitsById &bits) {
        const std::uint64_t added = std::min<std::uint64_t>(
            static_cast<std::uint64_t>(globals_.reportSize) * globals_.reportCount, kBitsPastLimit);
        std::uint64_t &sum = bits[globals_.reportId];
        sum = std::min(sum + added, kBitsPastLimit);
    }

    Globals globals_;
    std::vector<Globals> stack_;
    BitsById input_;
    BitsById output_;
    BitsById feature_;
    bool numbered_ = false;
};

}  // namespace

std::optional<ReportLayout> parseReportDescriptor(const std::vector<std::uint8_t> &descriptor) {
    Parser parser;
    std::size_t at = 0;
    while (at < descriptor.size()) {
        const std::uint8_t prefix = descriptor[at];
        if (prefix == kLongItem) {
            // Long item: prefix, data size, long tag, data.
            if (at + 1 >= descriptor.size()) {
                return std::nullopt;
            }
            at += 3 + std::size_t{descriptor[at + 1]};
            continue;
        }
        const std::uint32_t sizeCode = prefix & kSizeMask;
        const std::uint32_t size = sizeCode == kFourByteCode ? 4 : sizeCode;
        if (at + 1 + size > descriptor.size()) {
            return std::nullopt;
        }
        parser.item(static_cast<std::uint8_t>(prefix & kTagMask), itemValue(&descriptor[at + 1], size));
        at += 1 + size;
    }
    if (at != descriptor.size() || !parser.withinLimits()) {
        return std::nullopt;
    }
    return parser.layout();
}

}  // namespace zelo::hid::linux_backend
