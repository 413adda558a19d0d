#include "files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace zelo::cli {

std::optional<std::string> readFileLimited(const std::string &path, std::size_t limit, std::string *error) {
    std::error_code code;
    if (std::filesystem::is_directory(path, code)) {
        *error = "cannot read '" + path + "': it is a folder";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read '" + path + "': " +
                 (std::filesystem::exists(path, code) ? "permission denied" : "no such file");
        return std::nullopt;
    }
    return readStreamLimited(in, limit);
}

std::string readStreamLimited(std::istream &in, std::size_t limit) {
    std::string text(limit + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

}  // namespace zelo::cli
