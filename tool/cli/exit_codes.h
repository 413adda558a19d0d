// The command line's exit codes, one table for the code and the help text.
#ifndef ZELO_CLI_EXIT_CODES_H
#define ZELO_CLI_EXIT_CODES_H

#include <array>
#include <string_view>

namespace zelo::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;      // reported by the accessory or the library
inline constexpr int kExitUsage = 2;        // bad option, name, value or file
inline constexpr int kExitNoAccessory = 3;  // none attached, or not the one asked for
inline constexpr int kExitInterrupted = 130;  // Ctrl-C; the accessory was left consistent

struct ExitCodeText {
    int code;
    std::string_view meaning;
};

inline constexpr std::array<ExitCodeText, 5> kExitCodes{{
    {kExitOk, "success"},
    {kExitFailure, "failure reported by the accessory or the library"},
    {kExitUsage, "usage error: bad option, name, value or file"},
    {kExitNoAccessory, "no accessory attached (or not the one asked for)"},
    {kExitInterrupted, "interrupted by Ctrl-C after the accessory was left consistent"},
}};

}  // namespace zelo::cli

#endif
