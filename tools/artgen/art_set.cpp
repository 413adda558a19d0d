#include "art_set.h"

#include "flags.h"
#include "icon.h"

namespace artgen {

std::vector<ArtFile> buildArtSet() {
    std::vector<ArtFile> files;
    files.push_back({kIconFileName, encodeIco(drawIcon())});
    for (const Flag& flag : drawFlags()) files.push_back({flag.fileName, encodeBmp24(flag.image)});
    return files;
}

}  // namespace artgen
