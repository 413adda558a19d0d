#include "model_profile.h"

#include <cctype>

#include "zelo_backend/hid_backend.h"

namespace zelo::sim {

namespace {

// Version texts of the models' current firmware, and where the firmware
// image keeps that text (the standard model: first bytes of its last page).
constexpr std::size_t kStandardVersionOffset = 6656;
constexpr std::size_t kXVersionOffset = 1864;

const ModelInfo kStandard{"standard", "1.00", "1.24", kStandardVersionOffset};
const ModelInfo kX{"x", "1.01", "2.06", kXVersionOffset};
const ModelInfo *const kModels[] = {&kStandard, &kX};

// Fits a version text to the four characters the accessory answers with.
std::string fitVersion(const std::string &text) {
    std::string fitted = text.substr(0, kVersionTextLength);
    fitted.resize(kVersionTextLength, '\0');
    return fitted;
}

}  // namespace

const ModelInfo &standardModel() { return kStandard; }
const ModelInfo &xModel() { return kX; }

const ModelInfo *findModel(const std::string &nameOrLoader) {
    for (const ModelInfo *model : kModels) {
        if (nameOrLoader == model->name || nameOrLoader == model->loader) return model;
    }
    return nullptr;
}

bool isLoaderText(const std::string &text) {
    const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    return text.size() == kVersionTextLength && digit(text[0]) && text[1] == '.' && digit(text[2]) &&
           digit(text[3]);
}

Profile resolveProfile(const AccessoryConfig &config) {
    const ModelInfo *named = findModel(config.model);
    const ModelInfo &layout = named ? *named : kStandard;
    const std::string loader = !config.loader.empty() ? config.loader
                               : named                ? std::string(named->loader)
                                                      : config.model;
    const std::string firmware = config.firmware.empty() ? std::string(layout.firmware) : config.firmware;
    return Profile{&layout,
                   fitVersion(loader),
                   fitVersion(firmware),
                   config.vendorId != 0 ? config.vendorId : hid::kVendorId,
                   config.productId,
                   config.inputReportLength,
                   config.outputReportLength,
                   config.featureReportLength};
}

}  // namespace zelo::sim
