// zelo-imagegen: writes the program's embedded data into a directory, or
// with --check compares a directory with what it would write.
//
//   zelo-imagegen DIR           write (only files whose contents change)
//   zelo-imagegen --check DIR   exit 1 naming the first file that differs
#include "generated_files.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;
using zelo::imagegen::GeneratedFile;

constexpr int kExitDiffers = 1;
constexpr int kExitUsage = 2;

std::optional<std::string> readFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool writeFile(const fs::path &path, const std::string &text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(out);
}

int check(const fs::path &dir) {
    for (const GeneratedFile &file : zelo::imagegen::generateAll()) {
        const fs::path path = dir / file.name;
        const std::optional<std::string> current = readFile(path);
        if (!current || *current != file.text) {
            std::fprintf(stderr, "zelo-imagegen: %s %s; run zelo-imagegen %s\n", path.string().c_str(),
                         current ? "differs from the generator's output" : "is missing", dir.string().c_str());
            return kExitDiffers;
        }
    }
    return 0;
}

int write(const fs::path &dir) {
    std::error_code error;
    fs::create_directories(dir, error);
    for (const GeneratedFile &file : zelo::imagegen::generateAll()) {
        const fs::path path = dir / file.name;
        if (readFile(path) == file.text) continue;
        if (!writeFile(path, file.text)) {
            std::fprintf(stderr, "zelo-imagegen: cannot write %s\n", path.string().c_str());
            return kExitUsage;
        }
        std::printf("zelo-imagegen: wrote %s\n", path.string().c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    try {
        if (argc == 3 && std::string_view(argv[1]) == "--check") return check(argv[2]);
        if (argc == 2 && argv[1][0] != '-') return write(argv[1]);
        std::fprintf(stderr, "usage: zelo-imagegen DIR | zelo-imagegen --check DIR\n");
        return kExitUsage;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "zelo-imagegen: %s\n", e.what());
        return kExitUsage;
    }
}
