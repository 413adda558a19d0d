// The data the program carries for the accessory: the default configuration
// blocks, the firmware images of both models, and the enciphered loader text
// and module image for the Bluetooth module, with the key that opens them.
// The bytes are produced by tools/imagegen and committed in generated/.
#ifndef ZELO_DEVICE_IMAGES_H
#define ZELO_DEVICE_IMAGES_H

#include "config_record.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class CRijndael;

namespace zelo::device {

// Firmware image: accessory pages 16 to 29, the CRC of everything before it
// in the last two bytes. On the standard model the last page is also the
// third configuration page.
inline constexpr std::size_t kFirmwareImageSize = kFirmwarePages.size() * kPageSize;
inline constexpr std::size_t kFirmwareCrcOffset = kFirmwareImageSize - 2;
inline constexpr std::size_t kFirmwareLastPageOffset = kFirmwareImageSize - kPageSize;
inline constexpr std::size_t kVersionTextLength = 4;
inline constexpr std::size_t kImageAVersionOffset = kFirmwareLastPageOffset;
inline constexpr std::size_t kImageBVersionOffset = 1864;
// Where each image keeps the text its firmware answers to command 0x01. Image
// A's lies in its first page: its last page belongs to the configuration, and
// the text there ("1.24") is only the one the program shows. Image B answers
// with its image version text.
inline constexpr std::size_t kStandardFirmwareTextOffset = 392;
inline constexpr std::size_t kXFirmwareTextOffset = kImageBVersionOffset;
static_assert(kStandardFirmwareTextOffset + kVersionTextLength <= kFirmwareLastPageOffset,
              "the standard firmware text lies in the pages the firmware check compares");
static_assert(kFirmwareLastPageOffset - kFirmwareVersionOffset + kImageCrcOffset == kFirmwareCrcOffset,
              "the image CRC and the block's image CRC field are the same two bytes");

// The Bluetooth module's images, stored enciphered in 32-byte blocks.
inline constexpr std::size_t kImageCipherBlockSize = 32;
inline constexpr std::size_t kImageKeySize = 32;
inline constexpr std::size_t kLoaderTextSize = 8704;
inline constexpr std::size_t kLoaderTextEnd = 8676;         // the end mark goes here
inline constexpr std::size_t kModuleImageStoredSize = 7680;
inline constexpr std::size_t kModuleImageSize = 8192;        // as laid out in the module's memory
inline constexpr std::uint8_t kImageEndMark = 0xFF;
static_assert(kLoaderTextSize % kImageCipherBlockSize == 0 && kModuleImageStoredSize % kImageCipherBlockSize == 0);

// Embedded default configuration block of a variant; empty for other variants.
std::span<const std::uint8_t> defaultBlock(DeviceVariant variant);

std::span<const std::uint8_t, kFirmwareImageSize> firmwareImageA();
std::span<const std::uint8_t, kFirmwareImageSize> firmwareImageB();
// Image A for the standard model, B for the X model, empty for others.
std::span<const std::uint8_t> firmwareImage(DeviceVariant variant);
// The four version characters of the variant's image; empty for others.
std::string_view firmwareVersionText(DeviceVariant variant);
// Offset of the text an accessory running the variant's image answers to
// command 0x01, and that text; 0 and empty for other variants.
std::size_t firmwareAnswerTextOffset(DeviceVariant variant);
std::string_view firmwareAnswerText(DeviceVariant variant);

std::span<const std::uint8_t, kLoaderTextSize> encipheredLoaderText();
std::span<const std::uint8_t, kModuleImageStoredSize> encipheredModuleImage();

// The stored key constant and the rule that turns it into the key: byte
// kImageKeyDecrementIndex minus one, byte kImageKeyReplaceIndex replaced.
inline constexpr std::size_t kImageKeyDecrementIndex = 5;
inline constexpr std::size_t kImageKeyReplaceIndex = 20;
const std::array<std::uint8_t, kImageKeySize> &imageKeyConstant();
std::uint8_t imageKeyReplacementByte();
std::array<std::uint8_t, kImageKeySize> imageKey();

// Keys the cipher for the images: the derived key, a zero chain, 32-byte
// key and blocks. The key copy does not outlive the call.
void keyImageCipher(CRijndael &cipher);

// Plain loader text, kLoaderTextSize bytes, with the end mark at kLoaderTextEnd.
std::vector<std::uint8_t> decipherLoaderText(CRijndael &cipher);
// Plain module image in a zero-filled kModuleImageSize buffer, with the end
// mark right after the stored bytes.
std::vector<std::uint8_t> decipherModuleImage(CRijndael &cipher);

// Prepares the standard model's firmware image for a configuration write:
// configuration page 2 of readCopy becomes the image's last page and the
// image CRC goes into both. Returns the CRC.
std::uint16_t sealFirmwareImage(std::span<std::uint8_t, kFirmwareImageSize> image,
                                std::span<std::uint8_t, kBlockSize> readCopy);

}  // namespace zelo::device

#endif
