#include "firmware_images.h"

#include "byte_source.h"
#include "code_bytes.h"
#include "images.h"
#include "page_crc.h"
#include "versions.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace zelo::imagegen {

using namespace zelo::device;

namespace {

constexpr std::uint16_t kFlashBase = 0x2000;  // accessory page 16
constexpr std::uint64_t kSeedImageA = 0x5A454C4F0124ull;
constexpr std::uint64_t kSeedImageB = 0x5A454C4F0206ull;
constexpr std::uint8_t kErased = 0xFF;

// Vector table: a jump to the start-up code, then one entry per interrupt.
constexpr std::size_t kVectorTableSize = 0x80;
constexpr std::size_t kFirstInterruptVector = 3;
constexpr std::size_t kInterruptVectorSpacing = 8;
constexpr std::uint8_t kJump = 0x02;
constexpr std::uint8_t kReturnFromInterrupt = 0x32;
constexpr std::size_t kHandlerAreaEnd = 0x800;  // interrupt handlers sit early in the code
constexpr unsigned kByteBits = 8;

// Where the code ends; the rest up to the last page stays erased.
constexpr std::size_t kImageACodeEnd = 6200;
constexpr std::size_t kImageBCodeEnd = 6900;

// Both images carry an identification record around the text their
// firmware answers to command 0x01: an ident, the text, a build mark.
using namespace std::string_view_literals;
struct IdentRecord {
    std::string_view ident;
    std::string_view text;
    std::string_view build;
};
constexpr IdentRecord kImageARecord{"ZELO-S\0\0"sv, kImageAFirmwareText, "\0A0812\0\0"sv};
constexpr IdentRecord kImageBRecord{"ZELO-X\0\0"sv, kImageBVersion, "\0B0917\0\0"sv};
constexpr std::string_view kImageAStrings = "ZELO\0BD Remote\0IR-BT\0"sv;

AddressRange flashRange() {
    return {kFlashBase, static_cast<std::uint16_t>(kFlashBase + kFirmwareImageSize - 1)};
}

void putText(std::vector<std::uint8_t> &image, std::size_t offset, std::string_view text) {
    if (offset + text.size() > image.size()) throw std::logic_error("text beyond the image");
    std::copy(text.begin(), text.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

void putJump(std::vector<std::uint8_t> &image, std::size_t at, std::size_t target) {
    const std::size_t address = kFlashBase + target;
    image[at] = kJump;
    image[at + 1] = static_cast<std::uint8_t>(address >> kByteBits);
    image[at + 2] = static_cast<std::uint8_t>(address);
}

void putVectors(std::vector<std::uint8_t> &image, ByteSource &source) {
    std::fill_n(image.begin(), kVectorTableSize, 0);
    putJump(image, 0, kVectorTableSize);
    for (std::size_t at = kFirstInterruptVector; at + 3 <= kVectorTableSize; at += kInterruptVectorSpacing) {
        if (source.below(2) == 0) {
            image[at] = kReturnFromInterrupt;
            continue;
        }
        putJump(image, at, kVectorTableSize + source.below(static_cast<std::uint32_t>(kHandlerAreaEnd - kVectorTableSize)));
    }
}

void putCode(std::vector<std::uint8_t> &image, std::size_t begin, std::size_t end, ByteSource &source) {
    fillCode(std::span(image).subspan(begin, end - begin), flashRange(), source);
}

// Code up to the record, the record with its text at textOffset, code after
// it up to codeEnd.
void putCodeAroundRecord(std::vector<std::uint8_t> &image, const IdentRecord &record, std::size_t textOffset,
                         std::size_t codeEnd, ByteSource &source) {
    const std::size_t recordAt = textOffset - record.ident.size();
    const std::size_t recordEnd = textOffset + kVersionTextLength + record.build.size();
    putCode(image, kVectorTableSize, recordAt, source);
    putText(image, recordAt, record.ident);
    putText(image, textOffset, record.text);
    putText(image, textOffset + kVersionTextLength, record.build);
    putCode(image, recordEnd, codeEnd, source);
}

void sealCrc(std::vector<std::uint8_t> &image) {
    const std::uint16_t crc = pageCrc(std::span(image).first(kFirmwareCrcOffset));
    storeCrc(std::span(image).subspan<kFirmwareCrcOffset, 2>(), crc);
}

}  // namespace

std::vector<std::uint8_t> firmwareImageA(std::span<const std::uint8_t> standardDefaults) {
    if (standardDefaults.size() != kBlockSize) throw std::logic_error("image A needs the standard defaults block");
    std::vector<std::uint8_t> image(kFirmwareImageSize, kErased);
    ByteSource source(kSeedImageA);
    putVectors(image, source);
    putCodeAroundRecord(image, kImageARecord, kStandardFirmwareTextOffset, kImageACodeEnd, source);
    putText(image, kImageACodeEnd, kImageAStrings);
    // The last page is configuration page 2: block offset 1024 + k is image
    // offset 6656 + k; its version text is the image's.
    std::copy(standardDefaults.begin() + static_cast<std::ptrdiff_t>(kFirmwareVersionOffset), standardDefaults.end(),
              image.begin() + static_cast<std::ptrdiff_t>(kFirmwareLastPageOffset));
    if (!std::equal(kImageAVersion.begin(), kImageAVersion.end(), image.begin() + kImageAVersionOffset))
        throw std::logic_error("image A's last page does not carry its version text");
    sealCrc(image);
    return image;
}

std::vector<std::uint8_t> firmwareImageB() {
    std::vector<std::uint8_t> image(kFirmwareImageSize, kErased);
    ByteSource source(kSeedImageB);
    putVectors(image, source);
    // Image B's answer text is its image version text.
    static_assert(kXFirmwareTextOffset == kImageBVersionOffset);
    putCodeAroundRecord(image, kImageBRecord, kXFirmwareTextOffset, kImageBCodeEnd, source);
    sealCrc(image);
    return image;
}

}  // namespace zelo::imagegen
