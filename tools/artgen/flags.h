// The flag pictures of the language dialog.
#ifndef ZELO_ARTGEN_FLAGS_H
#define ZELO_ARTGEN_FLAGS_H

#include <string>
#include <vector>

#include "image.h"

namespace artgen {

inline constexpr int kFlagWidth = 21;
inline constexpr int kFlagHeight = 15;

struct Flag {
    std::string fileName;
    Image image;
};

// Every flag, in the order of their bitmap resources.
std::vector<Flag> drawFlags();

}  // namespace artgen

#endif
