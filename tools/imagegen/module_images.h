// The Bluetooth module's loader text and module image, plain and enciphered.
#ifndef ZELO_IMAGEGEN_MODULE_IMAGES_H
#define ZELO_IMAGEGEN_MODULE_IMAGES_H

#include <cstdint>
#include <span>
#include <vector>

namespace zelo::imagegen {

// Loader lines up to the end mark's offset, erased bytes after it.
std::vector<std::uint8_t> plainLoaderText();
// Header, unused area, module code; 7680 bytes.
std::vector<std::uint8_t> plainModuleImage();

// ECB with the program's image key and 32-byte blocks.
std::vector<std::uint8_t> encipherImage(std::span<const std::uint8_t> plain);

}  // namespace zelo::imagegen

#endif
