// The names `set` takes, for shell completion: every value of either
// model's default settings document, as show --json names them.
#ifndef ZELO_CLI_SETTING_NAMES_H
#define ZELO_CLI_SETTING_NAMES_H

#include <string>
#include <vector>

namespace zelo::cli {

std::vector<std::string> settingNames();

}  // namespace zelo::cli

#endif
