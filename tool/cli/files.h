// Settings files on disk for the command line.
#ifndef ZELO_CLI_FILES_H
#define ZELO_CLI_FILES_H

#include <istream>
#include <optional>
#include <string>

namespace zelo::cli {

// The file's bytes, at most limit + 1 of them (so a larger file shows as
// such without being read whole); nullopt with the reason in error.
std::optional<std::string> readFileLimited(const std::string &path, std::size_t limit, std::string *error);

// The same from a stream (standard input for "-").
std::string readStreamLimited(std::istream &in, std::size_t limit);

// The file name that means standard input or output.
inline constexpr const char *kStandardStream = "-";


}  // namespace zelo::cli

#endif
