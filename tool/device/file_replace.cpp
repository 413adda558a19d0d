#include "file_replace.h"

#include <fstream>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace zelo::device {

namespace {

bool replaceFile(const std::filesystem::path &from, const std::filesystem::path &to) {
#if defined(_WIN32)
    // Through to the disk before the call returns, as a rename on a
    // journalled file system is.
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    std::error_code failure;
    std::filesystem::rename(from, to, failure);
    return !failure;
#endif
}

}  // namespace

bool writeFileReplacing(const std::filesystem::path &path, std::string_view bytes, std::string *error) {
    std::filesystem::path fresh = path;
    fresh += std::string(kNewFileSuffix);
    std::error_code ignored;
    {
        std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::filesystem::remove(fresh, ignored);
            *error = "cannot write '" + path.string() + "'";
            return false;
        }
    }
    if (!replaceFile(fresh, path)) {
        std::filesystem::remove(fresh, ignored);
        *error = "cannot replace '" + path.string() + "'";
        return false;
    }
    return true;
}

}  // namespace zelo::device
