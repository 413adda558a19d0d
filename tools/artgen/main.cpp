// zelo-artgen OUTPUT_DIR: writes the program's icon and flag bitmaps.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "art_set.h"

namespace {

bool writeFile(const std::filesystem::path& path, const artgen::Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: zelo-artgen OUTPUT_DIR\n";
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        for (const artgen::ArtFile& file : artgen::buildArtSet()) {
            if (!writeFile(dir / file.name, file.bytes)) {
                std::cerr << "zelo-artgen: cannot write " << (dir / file.name).string() << "\n";
                return 1;
            }
        }
    } catch (const std::exception& e) {
        std::cerr << "zelo-artgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
