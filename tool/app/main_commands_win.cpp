#include <windows.h>

#include "app_state.h"
#include "catalogue.h"
#include "config_session.h"
#include "dialogs_win.h"
#include "main_window_win.h"
#include "preferences.h"
#include "resource.h"
#include "settings_files_win.h"
#include "tab_pages_win.h"
#include "texts_win.h"
#include "update_check.h"
#include "workers_win.h"
#include "zelo.h"

namespace zelo::app {

namespace {

using i18n::Msg;

constexpr INT_PTR kProgramEnding = 1;
constexpr INT_PTR kProgramStays = 0;

int ask(HWND mainWindow, Msg textId, Msg captionId, UINT type) {
    return MessageBoxW(mainWindow, i18n::text(textId).c_str(), i18n::text(captionId).c_str(), type);
}

void enableSave(HWND mainWindow, bool enabled) { EnableWindow(GetDlgItem(mainWindow, IDC_MAIN_SAVE), enabled); }

void endProgram(HWND mainWindow) {
    EndDialog(mainWindow, 0);
    PostQuitMessage(0);
}

// Starts the SaveConfiguration task. A task that cannot start is a save
// that failed, reported like one.
void startSave(HWND mainWindow) {
    processState().saveRunning = true;
    enableSave(mainWindow, false);
    if (!startWorker(SaveConfiguration)) saveFinished(mainWindow, ZELO_TRANSFER_FAILED);
}

}  // namespace

INT_PTR exitRequest(HWND mainWindow) {
    ProcessState &state = processState();
    if (state.saveRunning) {
        // The read copy is being written; the question waits for the result.
        state.exitDeferred = true;
        return kProgramStays;
    }
    if (exitNeedsSaveQuestion(deviceLink(), pageSet())) {
        switch (ask(mainWindow, Msg::UnsavedChanges, Msg::SaveBeforeExit, MB_ICONWARNING | MB_YESNOCANCEL)) {
        case IDYES:
            state.exitAfterSave = true;
            saveCommand(mainWindow);
            return kProgramStays;
        case IDNO:
            break;
        default:
            return kProgramStays;
        }
    }
    endProgram(mainWindow);
    return kProgramEnding;
}

void saveCommand(HWND mainWindow) {
    if (processState().saveRunning) return;
    prepareSave(deviceLink(), pageSet());
    startSave(mainWindow);
}

void saveFinished(HWND mainWindow, int result) {
    ProcessState &state = processState();
    state.saveRunning = false;
    enableSave(mainWindow, true);
    if (const device::CDeviceLink *link = deviceLink(); link != nullptr && link->lastWriteUnprotected) {
        ask(mainWindow, Msg::SaveUnprotected, Msg::Information, MB_ICONWARNING);
    }
    if (!finishSave(deviceLink(), result)) {
        ask(mainWindow, Msg::SaveFailed, Msg::Error, MB_OK);
    } else if (state.exitAfterSave) {
        endProgram(mainWindow);
        return;
    }
    if (state.exitDeferred) {
        state.exitDeferred = false;
        exitRequest(mainWindow);
    }
}

void restoreDefaultsCommand(HWND mainWindow) {
    // Two writes of the configuration must not overlap.
    if (processState().saveRunning) return;
    if (ask(mainWindow, Msg::RestoreDefaultsWarning, Msg::ContinueQuestion, MB_ICONWARNING | MB_OKCANCEL) != IDOK) {
        return;
    }
    if (!restoreDefaults(deviceLink())) return;
    // The pages take the restored read copy before the save starts: the
    // save changes the read copy (protected ranges, seal) on its thread,
    // and the refresh must see it wholly before those changes.
    refreshPagesAfterChange(mainWindow);
    startSave(mainWindow);
}

void finishSaveOfRecord(HWND mainWindow) {
    // As for Restore default settings: the pages show the block before the
    // save's own changes to it.
    refreshPagesAfterChange(mainWindow);
    startSave(mainWindow);
}

void languageCommand(HWND mainWindow) {
    i18n::runLanguageDialog(mainWindow);
    i18n::applyLanguageToAll(mainWindow);
    storeLanguageChoice();
}

void refreshPagesAfterChange(HWND mainWindow) {
    const WindowState &windows = windowState();
    i18n::applyTexts(mainWindow, IDD_MAIN);
    for (PageIndex index : {PageIndex::TransmitReceive, PageIndex::Settings}) {
        const TabPage &page = kTabPages[static_cast<std::size_t>(index)];
        HWND window = windows.pages[static_cast<std::size_t>(index)];
        if (window != nullptr) i18n::applyTexts(window, page.templateId);
    }
    enableSave(mainWindow, refreshPages(deviceLink(), pageSet()));
}

INT_PTR mainWindowCommand(HWND mainWindow, int id) {
    switch (id) {
    case IDC_MAIN_EXIT:
    case IDM_FILE_EXIT:
        return exitRequest(mainWindow);
    case IDM_HELP_ABOUT:
        runAboutDialog(mainWindow);
        break;
    case IDC_MAIN_SAVE:
        saveCommand(mainWindow);
        break;
    case IDM_OPTIONS_LANGUAGE:
        languageCommand(mainWindow);
        break;
    case IDM_OPTIONS_RESTORE_DEFAULTS:
        restoreDefaultsCommand(mainWindow);
        break;
    case IDM_HELP_CHECK_UPDATES:
        openUpdatePage();
        break;
    case IDM_HELP_HELP:
        openHelpPage();
        break;
    case IDM_TOOLS_PAIR:
        runPairingDialog(mainWindow);
        break;
    case IDM_FILE_EXPORT_SETTINGS:
        exportSettingsCommand(mainWindow);
        break;
    case IDM_FILE_IMPORT_SETTINGS:
        importSettingsCommand(mainWindow);
        break;
    default:
        break;
    }
    return FALSE;
}

}  // namespace zelo::app
