// The main window's texts that frame catalogue texts: the title, the
// connection text of the status bar, and the percentage the status
// progress bar draws.
#ifndef ZELO_APP_MAIN_TEXTS_H
#define ZELO_APP_MAIN_TEXTS_H

#include <optional>
#include <string>
#include <string_view>

#include "config_record.h"

namespace zelo::app {

// "ZE·LO v1.29".
std::wstring mainWindowTitle();

// Status bar part 0 while connected: "ZE·LO Connected (v1.24)" for the
// standard model, "ZE·LO X Connected (v2.06)" for the X model, with the
// given `Connected` text and firmware version; nullopt for other variants,
// whose text stays as it was.
std::optional<std::wstring> connectionText(device::DeviceVariant variant, std::wstring_view connected,
                                           std::wstring_view firmware);

// "42 %".
std::wstring percentText(int percent);

}  // namespace zelo::app

#endif
