// Writing a file so that a crash or a full disk leaves either the old file
// or the new one, never a part: the bytes go to a new file beside it, which
// then replaces the old one in one rename. The settings files, the records
// of saves under way and the simulator's state files all rely on it.
#ifndef ZELO_DEVICE_FILE_REPLACE_H
#define ZELO_DEVICE_FILE_REPLACE_H

#include <filesystem>
#include <string>
#include <string_view>

namespace zelo::device {

// The suffix of the new file while it is written.
inline constexpr std::string_view kNewFileSuffix = ".new";

// False with a reason naming the file when it could not be written; the
// old file is then untouched and no new file is left behind.
bool writeFileReplacing(const std::filesystem::path &path, std::string_view bytes, std::string *error);

}  // namespace zelo::device

#endif
