// Encoders for the two file formats the resource compiler takes: a 24-bit
// uncompressed bitmap file and an icon file with 32-bit images.
#ifndef ZELO_ARTGEN_BITMAP_FILES_H
#define ZELO_ARTGEN_BITMAP_FILES_H

#include <cstdint>
#include <vector>

#include "image.h"

namespace artgen {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::size_t kFileHeaderSize = 14;
inline constexpr std::size_t kInfoHeaderSize = 40;
inline constexpr std::size_t kIconDirSize = 6;
inline constexpr std::size_t kIconEntrySize = 16;
// Largest image an icon directory entry can describe (256 is written as 0).
inline constexpr int kMaxIconSide = 256;
// Below this opacity a pixel counts as transparent in the icon's AND mask,
// for renderers that ignore the alpha channel.
inline constexpr std::uint8_t kMaskOpacityThreshold = 128;

// Rows padded to four bytes, stored bottom-up; alpha is dropped.
Bytes encodeBmp24(const Image& image);

// One directory entry and one 32-bit image (with AND mask) per input, in
// the given order.
Bytes encodeIco(const std::vector<Image>& images);

// Byte counts of one stored row.
std::size_t bmp24RowStride(int width);
std::size_t maskRowStride(int width);

}  // namespace artgen

#endif
