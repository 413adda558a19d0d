// File > Export settings and Import settings with the standard file
// dialogs, and the automatic backup before a firmware update.
#ifndef ZELO_APP_SETTINGS_FILES_WIN_H
#define ZELO_APP_SETTINGS_FILES_WIN_H

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "device_link.h"

namespace zelo::app {

enum class SettingsDialog : std::uint8_t { Export, Import };

// Answers the chosen path, nullopt when the user cancelled. The program
// uses the standard Save As and Open dialogs; tests put an answer in their
// place. An empty chooser brings the dialogs back.
using SettingsFileChooser = std::function<std::optional<std::wstring>(HWND owner, SettingsDialog dialog)>;
void setSettingsFileChooser(SettingsFileChooser chooser);

// File > Export settings (IDM_FILE_EXPORT_SETTINGS) and Import settings
// (IDM_FILE_IMPORT_SETTINGS); both do nothing while no standard or X
// accessory is connected or a save runs.
void exportSettingsCommand(HWND mainWindow);
void importSettingsCommand(HWND mainWindow);

// %APPDATA%\ZE-LO\backups
std::wstring settingsBackupFolder();
// Writes the configuration as read into the backup folder; a failure is
// shown over owner and is not fatal. Any thread.
void backupSettingsBeforeUpdate(HWND owner, const device::CDeviceLink &link);

}  // namespace zelo::app

#endif
