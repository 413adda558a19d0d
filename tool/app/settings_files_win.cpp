#include "settings_files_win.h"

#include <commdlg.h>

#include <array>
#include <ctime>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

#include "app_state.h"
#include "catalogue.h"
#include "resource.h"
#include "settings_transfer.h"
#include "tab_pages_win.h"
#include "utf8.h"

namespace zelo::app {
namespace {

using i18n::Msg;

constexpr wchar_t kBackupSubfolders[][8] = {L"ZE-LO", L"backups"};
constexpr std::size_t kPathRoom = 32768;  // the longest path Windows accepts

std::mutex chooserLock;
SettingsFileChooser chooser;

std::wstring widen(std::string_view utf8) {
    return i18n::widenUtf8(std::u8string_view(reinterpret_cast<const char8_t *>(utf8.data()), utf8.size()));
}

std::wstring extensionText() {
    return std::wstring(settings::kFileExtension.begin(), settings::kFileExtension.end());
}

// "ZE·LO settings (*.zelo)\0*.zelo\0\0", as the dialogs take their filter.
std::wstring filterText() {
    const std::wstring pattern = L"*" + extensionText();
    std::wstring filter = i18n::text(Msg::SettingsFiles) + L" (" + pattern + L")";
    filter += L'\0';
    filter += pattern;
    filter += L'\0';
    return filter;
}

std::optional<std::wstring> standardDialog(HWND owner, SettingsDialog dialog) {
    std::vector<wchar_t> path(kPathRoom, L'\0');
    const std::wstring filter = filterText();
    const std::wstring defaultExtension = extensionText().substr(1);
    OPENFILENAMEW info{};
    info.lStructSize = sizeof(info);
    info.hwndOwner = owner;
    info.lpstrFilter = filter.c_str();
    info.lpstrFile = path.data();
    info.nMaxFile = static_cast<DWORD>(path.size());
    info.lpstrDefExt = defaultExtension.c_str();
    if (dialog == SettingsDialog::Export) {
        info.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
        if (!GetSaveFileNameW(&info)) return std::nullopt;
    } else {
        info.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
        if (!GetOpenFileNameW(&info)) return std::nullopt;
    }
    return std::wstring(path.data());
}

std::optional<std::wstring> choosePath(HWND owner, SettingsDialog dialog) {
    SettingsFileChooser current;
    {
        const std::lock_guard<std::mutex> hold(chooserLock);
        current = chooser;
    }
    return current ? current(owner, dialog) : standardDialog(owner, dialog);
}

bool writeFile(const std::wstring &path, const std::string &text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    return CloseHandle(file) && ok;
}

// At most one byte more than a settings file may have, so that an
// oversized file is refused by the reader without being read whole.
std::optional<std::string> readFile(const std::wstring &path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string text(settings::kMaxFileSize + 1, '\0');
    std::size_t filled = 0;
    bool ok = true;
    while (filled < text.size()) {
        DWORD got = 0;
        ok = ReadFile(file, text.data() + filled, static_cast<DWORD>(text.size() - filled), &got, nullptr) != FALSE;
        if (!ok || got == 0) break;
        filled += got;
    }
    CloseHandle(file);
    if (!ok) return std::nullopt;
    text.resize(filled);
    return text;
}

void show(HWND owner, const std::wstring &text, Msg caption, UINT type) {
    MessageBoxW(owner, text.c_str(), i18n::text(caption).c_str(), type);
}

void showFileFailure(HWND owner, Msg message, const std::wstring &path) {
    show(owner, i18n::replacePlaceholder(message, i18n::kMarkerFile, path), Msg::Error, MB_OK | MB_ICONWARNING);
}

std::wstring joinedLines(const std::vector<std::string> &lines) {
    std::wstring text;
    for (const std::string &line : lines) text += (text.empty() ? L"" : L"\r\n") + widen(line);
    return text;
}

void showImportResult(HWND owner, const settings::ImportResult &result) {
    if (!result.applied) {
        show(owner, i18n::replacePlaceholder(Msg::SettingsImportRefused, i18n::kMarkerReason, widen(result.refusal)),
             Msg::Error, MB_OK | MB_ICONWARNING);
    } else if (!result.warnings.empty()) {
        show(owner, i18n::replacePlaceholder(Msg::SettingsImportedPartly, i18n::kMarkerReason, joinedLines(result.warnings)),
             Msg::Information, MB_OK | MB_ICONINFORMATION);
    } else {
        show(owner, i18n::text(Msg::SettingsImported), Msg::Information, MB_OK | MB_ICONINFORMATION);
    }
}

std::wstring appDataFolder() {
    std::array<wchar_t, MAX_PATH> appData{};
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", appData.data(), static_cast<DWORD>(appData.size()));
    return length > 0 && length < appData.size() ? std::wstring(appData.data(), length) : L".";
}

// Save is enabled once the pages show the connected accessory's
// configuration and while no save runs; before that an import would be
// overwritten by the pages' first load.
bool transferAllowed(HWND mainWindow) {
    return IsWindowEnabled(GetDlgItem(mainWindow, IDC_MAIN_SAVE)) && !processState().saveRunning &&
           settingsTransferPossible(deviceLink());
}

}  // namespace

void setSettingsFileChooser(SettingsFileChooser replacement) {
    const std::lock_guard<std::mutex> hold(chooserLock);
    chooser = std::move(replacement);
}

void exportSettingsCommand(HWND mainWindow) {
    if (!transferAllowed(mainWindow)) return;
    const std::optional<std::wstring> path = choosePath(mainWindow, SettingsDialog::Export);
    if (!path || !transferAllowed(mainWindow)) return;
    if (!writeFile(*path, exportedSettings(*deviceLink(), pageSet())))
        showFileFailure(mainWindow, Msg::SettingsExportFailed, *path);
}

void importSettingsCommand(HWND mainWindow) {
    if (!transferAllowed(mainWindow)) return;
    const std::optional<std::wstring> path = choosePath(mainWindow, SettingsDialog::Import);
    if (!path || !transferAllowed(mainWindow)) return;
    const std::optional<std::string> text = readFile(*path);
    settings::ImportResult result;
    if (!text) {
        result.refusal = "file: cannot be read";
    } else {
        result = importIntoPages(*deviceLink(), pageSet(), *text);
    }
    showImportResult(mainWindow, result);
}

std::wstring settingsBackupFolder() {
    std::wstring folder = appDataFolder();
    for (const wchar_t *part : kBackupSubfolders) folder += std::wstring(L"\\") + part;
    return folder;
}

void backupSettingsBeforeUpdate(HWND owner, const device::CDeviceLink &link) {
    // Each level in turn; one that exists already is fine.
    std::wstring folder = appDataFolder();
    for (const wchar_t *part : kBackupSubfolders) {
        folder += std::wstring(L"\\") + part;
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    const std::wstring path = folder + L"\\" + backupFileName(link, static_cast<std::int64_t>(std::time(nullptr)));
    if (!writeFile(path, readSettings(link))) showFileFailure(owner, Msg::SettingsBackupFailed, path);
}

}  // namespace zelo::app
