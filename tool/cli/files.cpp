#include "files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace zelo::cli {

namespace {
constexpr const char *kNewFileSuffix = ".new";

// Over an existing file too, which a plain rename refuses on Windows.
bool replaceFile(const std::string &from, const std::string &to) {
#if defined(_WIN32)
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}
}  // namespace

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
    std::string text(limit + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

bool writeFileReplacing(const std::string &path, const std::string &text, std::string *error) {
    const std::string fresh = path + kNewFileSuffix;
    {
        std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            std::remove(fresh.c_str());
            *error = "cannot write '" + path + "'";
            return false;
        }
    }
    if (!replaceFile(fresh, path)) {
        std::remove(fresh.c_str());
        *error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

}  // namespace zelo::cli
