// zelo-tool's windows as another process sees them. Only messages that
// Windows carries between processes are used: WM_GETTEXT returns part 0 of
// a status bar, and commands are posted.
#ifndef ZELO_RUNNER_PROGRAM_WINDOWS_H
#define ZELO_RUNNER_PROGRAM_WINDOWS_H

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace zelo::runner {

// The shown main window: a dialog without owner that holds a status bar.
HWND findMainWindow(DWORD processId);
// The shown language dialog of the first start, by its title.
HWND findLanguageDialog(DWORD processId);
// Titles of the process's shown top-level windows, to tell the user what
// stood in the way.
std::vector<std::wstring> shownWindowTitles(DWORD processId);

// Part 0 of the main window's status bar; nullopt when it has none or the
// program does not answer.
std::optional<std::wstring> statusText(HWND mainWindow);

// As a click on a dialog's button or a menu command.
void postCommand(HWND window, int id);
// The same, returning once the program has handled it; false when it did
// not answer in time.
bool sendCommand(HWND window, int id);

// The main window's macro page: the child dialog with the macro list and
// the first row's hold time.
HWND findMacroPage(HWND mainWindow);
// As typing text into the dialog's edit control id.
bool setControlText(HWND dialog, int id, const std::wstring &text);

}  // namespace zelo::runner

#endif
