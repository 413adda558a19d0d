// Writing a file so that a crash, a power cut or a full disk leaves either
// the old file or the new one, never a part: the bytes go to a new file of
// a unique name beside it, are flushed to the disk, and then replace the
// old one in one rename, which is flushed too (the folder on POSIX, write
// through on Windows). The settings files, the records of saves under way
// and the simulator's state files all rely on it.
#ifndef ZELO_DEVICE_FILE_REPLACE_H
#define ZELO_DEVICE_FILE_REPLACE_H

#include <filesystem>
#include <string>
#include <string_view>

namespace zelo::device {

// The new file is "<name><kNewFileMarker><random hex><kNewFileSuffix>",
// created exclusively (never through a link), so two processes replacing
// the same file at once each write their own.
inline constexpr std::string_view kNewFileMarker = ".";
inline constexpr std::string_view kNewFileSuffix = ".tmp";

// False with a reason naming the file when it could not be written; the
// old file is then untouched and no new file is left behind.
bool writeFileReplacing(const std::filesystem::path &path, std::string_view bytes, std::string *error);

}  // namespace zelo::device

#endif
