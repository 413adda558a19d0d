// The configuration as a person reads it, from a settings document.
#ifndef ZELO_CLI_SETTINGS_VIEW_H
#define ZELO_CLI_SETTINGS_VIEW_H

#include <string>

#include "settings_paths.h"

namespace zelo::cli {

std::string settingsText(const Json &document);

}  // namespace zelo::cli

#endif
