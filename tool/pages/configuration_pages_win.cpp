#include "configuration_pages_win.h"

namespace zelo::pages {

void registerConfigurationPages() {
    app::setPageFactory(app::PageIndex::Settings, makeSettingsPage);
    app::setPageFactory(app::PageIndex::Macros, makeMacroPage);
    app::setPageFactory(app::PageIndex::DeviceCode, makeDeviceCodePage);
    app::setPageFactory(app::PageIndex::Buttons, makeKeyMappingPage);
}

}  // namespace zelo::pages
