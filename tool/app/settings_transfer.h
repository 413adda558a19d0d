// File > Export settings and Import settings, and the backup before a
// firmware update, apart from the windows: which block goes into a file,
// how an import reaches the working copy and the pages, and the backup's
// file name. The window layer adds the dialogs and the file access.
#ifndef ZELO_APP_SETTINGS_TRANSFER_H
#define ZELO_APP_SETTINGS_TRANSFER_H

#include <cstdint>
#include <string>
#include <string_view>

#include "device_link.h"
#include "page.h"
#include "settings_file.h"

namespace zelo::app {

// A standard or X accessory whose configuration was read completely.
bool settingsTransferPossible(const device::CDeviceLink *link);

// What the pages show: they store into the working copy first.
std::string exportedSettings(device::CDeviceLink &link, const PageSet &pages);
// The configuration as read from the accessory, for the backup.
std::string readSettings(const device::CDeviceLink &link);

// Stores the pages, then imports the text into the working copy; when the
// file is accepted the pages show the result as unsaved changes. A refused
// file changes neither.
settings::ImportResult importIntoPages(device::CDeviceLink &link, const PageSet &pages, std::string_view text);

// "<address>-<yyyymmdd>-<hhmmss>.zelo", the time in UTC.
std::wstring backupFileName(const device::CDeviceLink &link, std::int64_t unixSeconds);

}  // namespace zelo::app

#endif
