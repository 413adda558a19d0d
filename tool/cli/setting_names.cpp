#include "setting_names.h"

#include <algorithm>

#include "images.h"
#include "settings_document.h"
#include "settings_file.h"
#include "settings_paths.h"

namespace zelo::cli {

std::vector<std::string> settingNames() {
    std::vector<std::string> names;
    for (const device::DeviceVariant model : {device::DeviceVariant::Standard, device::DeviceVariant::X}) {
        const settings::SettingsDocument document = settings::documentOf(device::defaultBlock(model), model, "", "");
        for (const auto &[name, value] : flattenSettings(Json::parse(settings::writeSettingsFile(document)))) {
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
        }
    }
    return names;
}

}  // namespace zelo::cli
