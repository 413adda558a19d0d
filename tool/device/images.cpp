#include "images.h"

#include "page_crc.h"
#include "rijndael.h"

#include <algorithm>

namespace zelo::device {

namespace {

// Unsized arrays, so a generated file of the wrong length fails the build
// instead of being padded with zeros.
constexpr std::uint8_t kDefaultBlockStandard[] = {
#include "generated/default_block_standard.inc"
};
constexpr std::uint8_t kDefaultBlockX[] = {
#include "generated/default_block_x.inc"
};
constexpr std::uint8_t kFirmwareImageA[] = {
#include "generated/firmware_image_a.inc"
};
constexpr std::uint8_t kFirmwareImageB[] = {
#include "generated/firmware_image_b.inc"
};
constexpr std::uint8_t kLoaderTextEnciphered[] = {
#include "generated/loader_text.inc"
};
constexpr std::uint8_t kModuleImageEnciphered[] = {
#include "generated/module_image.inc"
};

static_assert(sizeof kDefaultBlockStandard == kBlockSize);
static_assert(sizeof kDefaultBlockX == kXBlockSize);
static_assert(sizeof kFirmwareImageA == kFirmwareImageSize && sizeof kFirmwareImageB == kFirmwareImageSize);
static_assert(sizeof kLoaderTextEnciphered == kLoaderTextSize);
static_assert(sizeof kModuleImageEnciphered == kModuleImageStoredSize);

std::string_view versionAt(std::span<const std::uint8_t> image, std::size_t offset) {
    return {reinterpret_cast<const char *>(image.data() + offset), kVersionTextLength};
}

}  // namespace

std::span<const std::uint8_t> defaultBlock(DeviceVariant variant) {
    switch (variant) {
    case DeviceVariant::Standard:
        return kDefaultBlockStandard;
    case DeviceVariant::X:
        return kDefaultBlockX;
    case DeviceVariant::Other:
        break;
    }
    return {};
}

std::span<const std::uint8_t, kFirmwareImageSize> firmwareImageA() { return std::span(kFirmwareImageA); }

std::span<const std::uint8_t, kFirmwareImageSize> firmwareImageB() { return std::span(kFirmwareImageB); }

std::span<const std::uint8_t> firmwareImage(DeviceVariant variant) {
    switch (variant) {
    case DeviceVariant::Standard:
        return firmwareImageA();
    case DeviceVariant::X:
        return firmwareImageB();
    case DeviceVariant::Other:
        break;
    }
    return {};
}

std::string_view firmwareVersionText(DeviceVariant variant) {
    switch (variant) {
    case DeviceVariant::Standard:
        return versionAt(firmwareImageA(), kImageAVersionOffset);
    case DeviceVariant::X:
        return versionAt(firmwareImageB(), kImageBVersionOffset);
    case DeviceVariant::Other:
        break;
    }
    return {};
}

std::size_t firmwareAnswerTextOffset(DeviceVariant variant) {
    switch (variant) {
    case DeviceVariant::Standard:
        return kStandardFirmwareTextOffset;
    case DeviceVariant::X:
        return kXFirmwareTextOffset;
    case DeviceVariant::Other:
        break;
    }
    return 0;
}

std::string_view firmwareAnswerText(DeviceVariant variant) {
    const std::span<const std::uint8_t> image = firmwareImage(variant);
    if (image.empty()) return {};
    return versionAt(image, firmwareAnswerTextOffset(variant));
}

std::span<const std::uint8_t, kLoaderTextSize> encipheredLoaderText() { return std::span(kLoaderTextEnciphered); }

std::span<const std::uint8_t, kModuleImageStoredSize> encipheredModuleImage() {
    return std::span(kModuleImageEnciphered);
}

std::vector<std::uint8_t> decipherLoaderText(CRijndael &cipher) {
    std::vector<std::uint8_t> plain(kLoaderTextSize);
    keyImageCipher(cipher);
    cipher.decipher(kLoaderTextEnciphered, plain.data(), kLoaderTextSize, CRijndael::ECB);
    plain[kLoaderTextEnd] = kImageEndMark;
    return plain;
}

std::vector<std::uint8_t> decipherModuleImage(CRijndael &cipher) {
    std::vector<std::uint8_t> plain(kModuleImageSize, 0);
    keyImageCipher(cipher);
    cipher.decipher(kModuleImageEnciphered, plain.data(), kModuleImageStoredSize, CRijndael::ECB);
    plain[kModuleImageStoredSize] = kImageEndMark;
    return plain;
}

std::uint16_t sealFirmwareImage(std::span<std::uint8_t, kFirmwareImageSize> image,
                                std::span<std::uint8_t, kBlockSize> readCopy) {
    std::copy(readCopy.begin() + kFirmwareVersionOffset, readCopy.end(), image.begin() + kFirmwareLastPageOffset);
    const std::uint16_t crc = pageCrc(image.first<kFirmwareCrcOffset>());
    storeCrc(image.subspan<kFirmwareCrcOffset, 2>(), crc);
    storeCrc(readCopy.subspan<kImageCrcOffset, 2>(), crc);
    return crc;
}

}  // namespace zelo::device
