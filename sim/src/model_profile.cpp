#include "model_profile.h"

#include <cctype>

#include "images.h"
#include "zelo_backend/hid_backend.h"

namespace zelo::sim {

namespace {

const ModelInfo kStandard{"standard", "1.00", device::DeviceVariant::Standard};
const ModelInfo kX{"x", "1.01", device::DeviceVariant::X};
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
    // Unless told otherwise, the accessory runs the firmware of the image its
    // layout belongs to, even where its firmware pages start erased.
    const std::string firmware =
        config.firmware.empty() ? std::string(device::firmwareAnswerText(layout.variant)) : config.firmware;
    return Profile{&layout,
                   named != nullptr,
                   device::firmwareAnswerTextOffset(layout.variant),
                   fitVersion(loader),
                   fitVersion(firmware),
                   config.vendorId != 0 ? config.vendorId : hid::kVendorId,
                   config.productId,
                   config.inputReportLength,
                   config.outputReportLength,
                   config.featureReportLength,
                   config.ownProtectedBytes};
}

}  // namespace zelo::sim
