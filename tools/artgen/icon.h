// The program's icon: a remote control sending IR waves, on a rounded tile.
#ifndef ZELO_ARTGEN_ICON_H
#define ZELO_ARTGEN_ICON_H

#include <vector>

#include "image.h"

namespace artgen {

inline constexpr int kIconLarge = 32;
inline constexpr int kIconSmall = 16;

// The images of the icon file, largest first.
std::vector<Image> drawIcon();

}  // namespace artgen

#endif
