// The complete set of files the generator writes, by name.
#ifndef ZELO_ARTGEN_ART_SET_H
#define ZELO_ARTGEN_ART_SET_H

#include <string>
#include <vector>

#include "bitmap_files.h"

namespace artgen {

inline constexpr const char* kIconFileName = "zelo.ico";

struct ArtFile {
    std::string name;
    Bytes bytes;
};

std::vector<ArtFile> buildArtSet();

}  // namespace artgen

#endif
