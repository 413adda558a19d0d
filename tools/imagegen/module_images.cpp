#include "module_images.h"

#include "byte_source.h"
#include "code_bytes.h"
#include "images.h"
#include "rijndael.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zelo::imagegen {

using namespace zelo::device;

namespace {

constexpr std::uint64_t kSeedLoader = 0x4C4F41444552ull;
constexpr std::uint64_t kSeedModule = 0x4D4F44554C45ull;
constexpr std::uint8_t kErased = 0xFF;
constexpr unsigned kByteBits = 8;

// ---- Loader text: hex records, each line ended by one LF. ----------------
//
// The serial line carries bytes, so a line terminator the module sees is a
// byte it must skip, and an empty line is nothing at all: each line holds
// exactly one record, which the module answers with one acknowledgement.
// 120 lines make the upload's 0.4 % per line end at 48 %, and the 30 data
// records' 100/58 % each then bring an installation to 99 %.

constexpr std::string_view kLineEnd = "\n";
constexpr std::string_view kEndRecord = ":00000001FF\n";
constexpr std::size_t kLoaderLines = 120;           // the end record included
constexpr std::size_t kRecordOverhead = 12;         // ":", length, address, type, checksum, LF
constexpr std::uint16_t kLoaderBase = 0x0000;       // the loader runs from the module's RAM
constexpr std::uint8_t kDataRecord = 0x00;
constexpr AddressRange kLoaderTargets{0x0000, 0x1FFF};

std::string hexRecord(std::uint16_t address, std::span<const std::uint8_t> data) {
    std::string line;
    char digits[3];
    auto putByte = [&](unsigned value) {
        std::snprintf(digits, sizeof digits, "%.2X", value & 0xFF);
        line += digits;
    };
    unsigned sum = static_cast<unsigned>(data.size()) + (address >> kByteBits) + (address & 0xFF) + kDataRecord;
    line += ':';
    putByte(static_cast<unsigned>(data.size()));
    putByte(address >> kByteBits);
    putByte(address & 0xFF);
    putByte(kDataRecord);
    for (std::uint8_t byte : data) {
        putByte(byte);
        sum += byte;
    }
    putByte(0x100 - (sum & 0xFF));
    line += kLineEnd;
    return line;
}

// Data byte counts of `count` records that fill `length` characters
// exactly, as even as they can be: the text keeps its end mark's offset.
std::vector<std::size_t> recordSizes(std::size_t length, std::size_t count) {
    const std::size_t overhead = count * kRecordOverhead;
    if (length < overhead || (length - overhead) % 2 != 0) {
        throw std::logic_error("loader text length cannot be filled with records");
    }
    const std::size_t dataBytes = (length - overhead) / 2;
    std::vector<std::size_t> sizes(count, dataBytes / count);
    for (std::size_t i = 0; i < dataBytes % count; ++i) ++sizes[i];
    if (sizes.front() > 0xFF) throw std::logic_error("loader records too long");
    return sizes;
}

// ---- Module image header. ------------------------------------------------

constexpr std::size_t kModuleHeaderSize = 30;
constexpr std::size_t kModuleDataOffset = 128;
constexpr std::string_view kModuleSignature = "ZLBT";
constexpr std::string_view kModuleVersion = "3.11";
constexpr std::uint16_t kModuleEntry = 0x8080;
constexpr std::array<std::uint8_t, 2> kModuleFlags{0x00, 0x01};
constexpr std::size_t kModuleAddressAt = 14;  // filled in when the module is installed
constexpr std::size_t kModuleAddressSize = 6;
constexpr std::array<std::uint8_t, 2> kUartDivisor{0x00, 0x0D};       // 38400 baud
constexpr std::array<std::uint8_t, 3> kDeviceClass{0x00, 0x05, 0x0C};  // peripheral, remote control
constexpr std::array<std::uint8_t, 3> kLinkFlags{0x01, 0x00, 0x00};
constexpr std::size_t kModuleCodeEnd = 7420;
constexpr AddressRange kModuleTargets{0x8080, 0x9DFF};

template <typename Bytes>
std::size_t putBytes(std::vector<std::uint8_t> &image, std::size_t at, const Bytes &bytes) {
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
    return at + bytes.size();
}

void putModuleHeader(std::vector<std::uint8_t> &image) {
    std::size_t at = putBytes(image, 0, kModuleSignature);
    at = putBytes(image, at, kModuleVersion);
    const std::array<std::uint8_t, 2> length{static_cast<std::uint8_t>(kModuleImageStoredSize >> kByteBits),
                                             static_cast<std::uint8_t>(kModuleImageStoredSize & 0xFF)};
    const std::array<std::uint8_t, 2> entry{static_cast<std::uint8_t>(kModuleEntry >> kByteBits),
                                            static_cast<std::uint8_t>(kModuleEntry & 0xFF)};
    at = putBytes(image, at, length);
    at = putBytes(image, at, entry);
    at = putBytes(image, at, kModuleFlags);
    if (at != kModuleAddressAt) throw std::logic_error("module header layout");
    std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(at), kModuleAddressSize, 0);
    at = putBytes(image, at + kModuleAddressSize, kUartDivisor);
    at = putBytes(image, at, kDeviceClass);
    at = putBytes(image, at, kLinkFlags);
    image[at++] = 0;
    // The last header byte makes the header sum to zero.
    const unsigned sum = std::accumulate(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(at), 0u);
    image[at++] = static_cast<std::uint8_t>(0x100 - (sum & 0xFF));
    if (at != kModuleHeaderSize) throw std::logic_error("module header layout");
}

}  // namespace

std::vector<std::uint8_t> plainLoaderText() {
    const std::vector<std::size_t> sizes = recordSizes(kLoaderTextEnd - kEndRecord.size(), kLoaderLines - 1);
    std::vector<std::uint8_t> code(std::accumulate(sizes.begin(), sizes.end(), std::size_t{0}));
    ByteSource source(kSeedLoader);
    fillCode(code, kLoaderTargets, source);
    std::string text;
    std::size_t at = 0;
    for (std::size_t dataBytes : sizes) {
        text += hexRecord(static_cast<std::uint16_t>(kLoaderBase + at), std::span(code).subspan(at, dataBytes));
        at += dataBytes;
    }
    text += kEndRecord;
    if (text.size() != kLoaderTextEnd) throw std::logic_error("loader text length");
    std::vector<std::uint8_t> plain(kLoaderTextSize, kErased);
    std::copy(text.begin(), text.end(), plain.begin());
    return plain;
}

std::vector<std::uint8_t> plainModuleImage() {
    std::vector<std::uint8_t> image(kModuleImageStoredSize, kErased);
    putModuleHeader(image);
    ByteSource source(kSeedModule);
    fillCode(std::span(image).subspan(kModuleDataOffset, kModuleCodeEnd - kModuleDataOffset), kModuleTargets, source);
    return image;
}

std::vector<std::uint8_t> encipherImage(std::span<const std::uint8_t> plain) {
    CRijndael cipher;
    keyImageCipher(cipher);
    std::vector<std::uint8_t> out(plain.size());
    cipher.encipher(plain.data(), out.data(), plain.size(), CRijndael::ECB);
    return out;
}

}  // namespace zelo::imagegen
