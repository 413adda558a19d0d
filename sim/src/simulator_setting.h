// Parses the ZELO_SIMULATOR text: a comma-separated list of accessories,
// each a model with optional colon-separated settings, or "none".
#pragma once

#include <string>
#include <vector>

#include "zelo_sim/sim.h"

namespace zelo::sim {

// The valid forms, quoted in every error message.
extern const char *const kValidForms;

// Fills accessories and returns true, or returns false with an error that
// names the bad token (accessories is then left empty).
bool parseSimulatorSetting(const std::string &description, std::vector<AccessoryConfig> *accessories,
                           std::string *error);

}  // namespace zelo::sim
