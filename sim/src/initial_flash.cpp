#include "initial_flash.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "config_record.h"
#include "images.h"
#include "page_crc.h"

namespace zelo::sim {

namespace {

static_assert(device::kPageSize == kPageSize, "the program's pages are the flash's pages");

// A production serial number, little-endian like the program reads it.
constexpr std::uint32_t kFirstDeviceValue = 100000;
// Erased-looking: the program stamps the first connection itself.
constexpr std::uint32_t kUnstampedTime = 0;
// A locally administered address, the unit number in its last bytes.
constexpr std::array<std::uint8_t, 3> kAddressPrefix{0x02, 0x5A, 0x4C};
constexpr int kByteBits = 8;

void putAddress(std::vector<std::uint8_t> &block, unsigned unit) {
    const std::size_t at = device::kDeviceAddressOffset;
    std::copy(kAddressPrefix.begin(), kAddressPrefix.end(), block.begin() + static_cast<std::ptrdiff_t>(at));
    for (std::size_t i = kAddressPrefix.size(); i < device::kDeviceAddressSize; ++i) {
        const std::size_t shift = (device::kDeviceAddressSize - 1 - i) * kByteBits;
        block[at + i] = static_cast<std::uint8_t>(unit >> shift);
    }
}

// Protected bytes of the first two pages made unlike the defaults. The
// third page is also a firmware page, so its bytes stay the image's.
void ownProtectedBytes(std::vector<std::uint8_t> &block) {
    constexpr std::uint8_t kDifference = 0x5A;
    const std::size_t end = std::min(block.size(), device::kXBlockSize);
    for (const device::ByteRange &range : device::kProtectedRanges) {
        for (std::size_t i = range.start; i < range.end && i < end; ++i) block[i] ^= kDifference;
    }
}

// The model's defaults with this unit's identity in the fields the program
// only reads.
std::vector<std::uint8_t> configurationBlock(device::DeviceVariant variant, unsigned unit, bool ownProtected) {
    const std::span<const std::uint8_t> defaults = device::defaultBlock(variant);
    std::vector<std::uint8_t> block(defaults.begin(), defaults.end());
    if (ownProtected) ownProtectedBytes(block);
    device::storeLittleEndian32(block, device::kDeviceValueOffset, kFirstDeviceValue + unit);
    device::storeLittleEndian32(block, device::kTimeStampOffset, kUnstampedTime);
    putAddress(block, unit);
    return block;
}

// An accessory that has been saved by the program carries the whole-image
// CRC of the firmware it actually runs, also when that is an older one.
void sealImage(Flash &flash) {
    const std::string image = flash.readImage(0, device::kFirmwareCrcOffset);
    const std::uint16_t crc = device::pageCrc(
        std::span(reinterpret_cast<const std::uint8_t *>(image.data()), image.size()));
    const char crcBytes[] = {static_cast<char>(crc >> kByteBits), static_cast<char>(crc & 0xFF)};
    flash.writeImage(device::kFirmwareCrcOffset, std::string(crcBytes, sizeof crcBytes));
}

}  // namespace

void initialiseFlash(Flash &flash, const Profile &profile, unsigned unit) {
    const device::DeviceVariant variant = profile.layout->variant;
    flash = Flash();
    // The standard block's third page is page 29; the image that follows
    // carries the same bytes there, with the image CRC in the last two.
    flash.setPages(device::kConfigurationPages, configurationBlock(variant, unit, profile.ownProtectedBytes));
    if (profile.firmwareImage) flash.setPages(device::kFirmwarePages, device::firmwareImage(variant));
    flash.writeImage(profile.firmwareTextOffset, profile.firmware);
    if (profile.firmwareImage) sealImage(flash);
}

}  // namespace zelo::sim
