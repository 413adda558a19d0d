// The settings, macro, device code and key mapping pages plug into the main
// window through their factories; call before the program creates it.
#ifndef ZELO_PAGES_CONFIGURATION_PAGES_WIN_H
#define ZELO_PAGES_CONFIGURATION_PAGES_WIN_H

#include <memory>

#include "page_window_win.h"

namespace zelo::pages {

void registerConfigurationPages();

std::unique_ptr<app::PageWindow> makeSettingsPage();
std::unique_ptr<app::PageWindow> makeMacroPage();
std::unique_ptr<app::PageWindow> makeDeviceCodePage();
std::unique_ptr<app::PageWindow> makeKeyMappingPage();

}  // namespace zelo::pages

#endif
