// The accessory models the simulator knows and what an AccessoryConfig
// resolves to: version texts, where the firmware keeps its version text,
// USB IDs and report lengths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "zelo_sim/sim.h"

namespace zelo::sim {

inline constexpr std::size_t kVersionTextLength = 4;
inline constexpr int kFirmwareFirstPage = 16;

struct ModelInfo {
    const char *name;          // as written in ZELO_SIMULATOR
    const char *loader;        // loader version text (answer to 0x05)
    const char *firmware;      // current firmware version text (answer to 0x01)
    std::size_t versionOffset; // offset of the version text in the firmware image
};

// The named models; a model given by a loader text uses the standard layout.
const ModelInfo &standardModel();
const ModelInfo &xModel();
// The named model with this name or loader text, or null.
const ModelInfo *findModel(const std::string &nameOrLoader);
// True for a loader version text such as "1.02" (digit, '.', two digits).
bool isLoaderText(const std::string &text);

struct Profile {
    const ModelInfo *layout;   // firmware layout (standard or X)
    std::string loader;        // exactly kVersionTextLength characters
    std::string firmware;      // exactly kVersionTextLength characters
    std::uint16_t vendorId;
    std::uint16_t productId;
    std::uint32_t inputLength;
    std::uint32_t outputLength;
    std::uint32_t featureLength;
};

Profile resolveProfile(const AccessoryConfig &config);

}  // namespace zelo::sim
