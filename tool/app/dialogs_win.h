// The small modal dialogs that hang off the main window's menu.
#ifndef ZELO_APP_DIALOGS_WIN_H
#define ZELO_APP_DIALOGS_WIN_H

#include <windows.h>

namespace zelo::app {

inline constexpr UINT_PTR kPairingTimerId = 0;

// About (dialog 138).
void runAboutDialog(HWND owner);
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Pairing with a PS3 (dialog 152): Pair sends the pairing request and
// animates the progress bar for 17 seconds.
void runPairingDialog(HWND owner);
INT_PTR CALLBACK pairingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zelo::app

#endif
