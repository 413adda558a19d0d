// The module image: the library's copy of accessory flash pages 20 to 22.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zelo {

inline constexpr std::size_t kFlashPageSize = 512;
inline constexpr int kModuleFirstPage = 20;
inline constexpr int kModulePageCount = 3;
inline constexpr std::size_t kModuleImageSize = kFlashPageSize * kModulePageCount;

using ModuleImage = std::array<std::uint8_t, kModuleImageSize>;

const ModuleImage &moduleImage();

}  // namespace zelo
