// The embedded default configuration blocks, built field by field from the
// memory map.
#ifndef ZELO_IMAGEGEN_DEFAULT_BLOCKS_H
#define ZELO_IMAGEGEN_DEFAULT_BLOCKS_H

#include <cstdint>
#include <vector>

namespace zelo::imagegen {

std::vector<std::uint8_t> defaultBlockStandard();  // 1536 bytes
std::vector<std::uint8_t> defaultBlockX();         // 1024 bytes

}  // namespace zelo::imagegen

#endif
