// The main window (dialog 129): its window procedure, its initialisation,
// its commands and the parts of its texts that follow the connection.
#ifndef ZELO_APP_MAIN_WINDOW_WIN_H
#define ZELO_APP_MAIN_WINDOW_WIN_H

#include <windows.h>

namespace zelo::app {

INT_PTR CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The main window's part of its texts, run by applyTexts after the button
// texts: title, connection text of the status bar (creating the bar the
// first time) and greying of the commands that need an accessory.
void refreshMainWindowTexts(HWND mainWindow);

// WM_COMMAND of the main window; the exit request answers 1 when the
// program is ending, everything else FALSE.
INT_PTR mainWindowCommand(HWND mainWindow, int id);

// Exit (commands 2 and 105): 1 when the program is ending, 0 when it stays.
INT_PTR exitRequest(HWND mainWindow);
// Save (command 1002) and its result (UM_SAVE_RESULT).
void saveCommand(HWND mainWindow);
void saveFinished(HWND mainWindow, int result);
// Options > Restore default settings (command 32775).
void restoreDefaultsCommand(HWND mainWindow);
// Writes the read copy that adoptUnfinishedSave put in place, as a Save.
void finishSaveOfRecord(HWND mainWindow);
// Options > Language (command 32774).
void languageCommand(HWND mainWindow);

// After a connect and after Restore default settings: the connection-
// dependent texts, then the pages show the read copy and Save is enabled;
// after a failed connect the pages stay as they were and Save is disabled.
void refreshPagesAfterChange(HWND mainWindow);

}  // namespace zelo::app

#endif
