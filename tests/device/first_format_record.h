// A record of a save under way as the program before durable saves wrote
// it: the magic, version 1, the variant, the block length and the address,
// the block being written (nothing of what the pages held), then the CRC of
// all of that, in a file named after the address alone.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "page_crc.h"
#include "pending_save.h"

namespace zelo::device::test {

inline void putFirstFormatRecord(const std::filesystem::path &folder, const PendingSave &save) {
    constexpr unsigned kByteBits = 8;
    constexpr unsigned kByteMask = 0xFF;
    const std::size_t length = blockLength(save.variant);
    std::string bytes(kPendingSaveMagic.begin(), kPendingSaveMagic.end());
    bytes += static_cast<char>(kPendingSaveFirstFormatVersion);
    bytes += static_cast<char>(save.variant);
    bytes += static_cast<char>(length >> kByteBits);
    bytes += static_cast<char>(length & kByteMask);
    bytes.append(save.key.address.begin(), save.key.address.end());
    bytes.append(save.block.begin(), save.block.begin() + static_cast<std::ptrdiff_t>(length));
    const std::uint16_t crc = pageCrc(std::span(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()));
    bytes += static_cast<char>(crc >> kByteBits);
    bytes += static_cast<char>(crc & kByteMask);

    std::string name;
    for (std::uint8_t byte : save.key.address) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        name += kDigits[byte >> 4];
        name += kDigits[byte & 0x0F];
    }
    std::filesystem::create_directories(folder);
    std::ofstream out(folder / (name + ".pending"), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace zelo::device::test
