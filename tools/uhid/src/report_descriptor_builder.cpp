#include "report_descriptor_builder.h"

namespace zelo::uhid {

namespace {

// Short item prefixes (tag and type; the size bits are added per item).
constexpr std::uint8_t kUsagePage = 0x04;
constexpr std::uint8_t kUsage = 0x08;
constexpr std::uint8_t kCollection = 0xA0;
constexpr std::uint8_t kEndCollection = 0xC0;
constexpr std::uint8_t kLogicalMinimum = 0x14;
constexpr std::uint8_t kLogicalMaximum = 0x24;
constexpr std::uint8_t kReportSize = 0x74;
constexpr std::uint8_t kReportCount = 0x94;
constexpr std::uint8_t kInput = 0x80;
constexpr std::uint8_t kOutput = 0x90;
constexpr std::uint8_t kFeature = 0xB0;

constexpr std::uint32_t kApplication = 0x01;
constexpr std::uint32_t kDataVariableAbsolute = 0x02;
constexpr std::uint32_t kBitsPerField = 8;
constexpr std::uint32_t kByteMaximum = 0xFF;
constexpr std::uint32_t kIdByte = 1;
constexpr std::uint32_t kBitsPerByte = 8;
// Size codes of short items: 1, 2 or 4 data bytes.
constexpr std::uint8_t kOneByte = 1;
constexpr std::uint8_t kTwoBytes = 2;
constexpr std::uint8_t kFourBytesCode = 3;
constexpr std::uint32_t kFourBytes = 4;

void item(std::vector<std::uint8_t> &out, std::uint8_t prefix, std::uint32_t value, std::uint32_t limit1,
          std::uint32_t limit2) {
    std::uint32_t bytes = kFourBytes;
    std::uint8_t code = kFourBytesCode;
    if (value <= limit1) {
        bytes = kOneByte;
        code = kOneByte;
    } else if (value <= limit2) {
        bytes = kTwoBytes;
        code = kTwoBytes;
    }
    out.push_back(static_cast<std::uint8_t>(prefix | code));
    for (std::uint32_t i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (kBitsPerByte * i)));
}

// An unsigned value in the fewest bytes.
void unsignedItem(std::vector<std::uint8_t> &out, std::uint8_t prefix, std::uint32_t value) {
    item(out, prefix, value, 0xFF, 0xFFFF);
}

// A signed value (logical limits) in the fewest bytes that keep it positive.
void signedItem(std::vector<std::uint8_t> &out, std::uint8_t prefix, std::uint32_t value) {
    item(out, prefix, value, 0x7F, 0x7FFF);
}

void report(std::vector<std::uint8_t> &out, std::uint8_t kind, std::uint32_t length) {
    if (length <= kIdByte) return;
    unsignedItem(out, kReportCount, length - kIdByte);
    unsignedItem(out, kUsage, kVendorUsage);
    unsignedItem(out, kind, kDataVariableAbsolute);
}

}  // namespace

std::vector<std::uint8_t> reportDescriptor(const hid::ReportLengths &lengths, int collections) {
    std::vector<std::uint8_t> out;
    unsignedItem(out, kUsagePage, kVendorUsagePage);
    unsignedItem(out, kUsage, kVendorUsage);
    unsignedItem(out, kCollection, kApplication);
    signedItem(out, kLogicalMinimum, 0);
    signedItem(out, kLogicalMaximum, kByteMaximum);
    unsignedItem(out, kReportSize, kBitsPerField);
    report(out, kInput, lengths.input);
    report(out, kOutput, lengths.output);
    report(out, kFeature, lengths.feature);
    out.push_back(kEndCollection);
    for (int extra = 1; extra < collections; ++extra) {
        unsignedItem(out, kUsagePage, kVendorUsagePage);
        unsignedItem(out, kUsage, kVendorUsage + static_cast<std::uint32_t>(extra));
        unsignedItem(out, kCollection, kApplication);
        out.push_back(kEndCollection);
    }
    return out;
}

}  // namespace zelo::uhid
