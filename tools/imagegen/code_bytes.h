// Instruction-like filler for the generated firmware and module images:
// short routines of one-, two- and three-byte instructions ending in a
// return, with calls and jumps that stay inside the image's address range.
#ifndef ZELO_IMAGEGEN_CODE_BYTES_H
#define ZELO_IMAGEGEN_CODE_BYTES_H

#include "byte_source.h"

#include <cstdint>
#include <span>

namespace zelo::imagegen {

struct AddressRange {
    std::uint16_t first;
    std::uint16_t last;
};

// Fills out completely with routines whose absolute targets lie in targets.
void fillCode(std::span<std::uint8_t> out, AddressRange targets, ByteSource &source);

}  // namespace zelo::imagegen

#endif
