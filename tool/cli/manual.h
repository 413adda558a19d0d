// The manual page and the bash completion, written from the same wiring
// as --help, so the three cannot drift apart. The build runs
// `zelo --manual` and `zelo --bash-completion` to make the installed files.
#ifndef ZELO_CLI_MANUAL_H
#define ZELO_CLI_MANUAL_H

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace zelo::cli {

// zelo.1 in roff: synopsis, options, every subcommand with its own
// arguments and options, exit codes, files, environment.
std::string manualPage(const CLI::App &app, const std::string &version, const std::string &rulesFile);

// A bash completion script: subcommands at each level, option names, and
// setting names (with '=') after `set`.
std::string bashCompletion(const CLI::App &app, const std::vector<std::string> &settingNames);

}  // namespace zelo::cli

#endif
