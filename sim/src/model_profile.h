// The accessory models the simulator knows and what an AccessoryConfig
// resolves to: version texts, which of the program's images and defaults the
// flash starts with, where the firmware keeps the text it answers, USB IDs
// and report lengths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "config_record.h"
#include "zelo_sim/sim.h"

namespace zelo::sim {

inline constexpr std::size_t kVersionTextLength = 4;
inline constexpr int kFirmwareFirstPage = device::kFirmwarePages.front();

struct ModelInfo {
    const char *name;               // as written in ZELO_SIMULATOR
    const char *loader;             // loader version text (answer to 0x05)
    device::DeviceVariant variant;  // whose firmware image and defaults block it carries
};

// The named models; a model given by a loader text uses the standard layout.
const ModelInfo &standardModel();
const ModelInfo &xModel();
// The named model with this name or loader text, or null.
const ModelInfo *findModel(const std::string &nameOrLoader);
// True for a loader version text such as "1.02" (digit, '.', two digits).
bool isLoaderText(const std::string &text);

struct Profile {
    const ModelInfo *layout;         // firmware layout (standard or X)
    bool firmwareImage;              // named models start with their image; others with erased firmware pages
    std::size_t firmwareTextOffset;  // image offset of the text answered to 0x01
    std::string loader;              // exactly kVersionTextLength characters
    std::string firmware;            // exactly kVersionTextLength characters
    std::uint16_t vendorId;
    std::uint16_t productId;
    std::uint32_t inputLength;
    std::uint32_t outputLength;
    std::uint32_t featureLength;
    bool ownProtectedBytes;
};

Profile resolveProfile(const AccessoryConfig &config);

}  // namespace zelo::sim
