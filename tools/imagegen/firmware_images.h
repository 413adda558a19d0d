// The accessory firmware images: A for the standard model, B for the X model.
#ifndef ZELO_IMAGEGEN_FIRMWARE_IMAGES_H
#define ZELO_IMAGEGEN_FIRMWARE_IMAGES_H

#include <cstdint>
#include <span>
#include <vector>

namespace zelo::imagegen {

// Image A's last page is configuration page 2, so it is built from the
// standard model's default block.
std::vector<std::uint8_t> firmwareImageA(std::span<const std::uint8_t> standardDefaults);
std::vector<std::uint8_t> firmwareImageB();

}  // namespace zelo::imagegen

#endif
