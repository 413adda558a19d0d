// The main window's status bar: two parts, the connection text on the left
// and, on the right, a progress bar that draws its percentage as text.
#ifndef ZELO_APP_STATUS_BAR_WIN_H
#define ZELO_APP_STATUS_BAR_WIN_H

#include <windows.h>

#include <string>

namespace zelo::app {

inline constexpr int kStatusConnectionPart = 0;
inline constexpr int kStatusProgressPart = 1;
inline constexpr int kProgressMinimum = 0;
inline constexpr int kProgressMaximum = 100;

// Creates the status bar the first time, then (every time) sets its two parts.
HWND ensureStatusBar(HWND mainWindow);
void setStatusTexts(HWND statusBar, const std::wstring &connection, const std::wstring &second);

// The progress bar on the status bar's second part, range 0..100, grey bar,
// with the percentage painting hooked in.
HWND createStatusProgress(HWND statusBar);

// The painting: the bar's own drawing, then "42 %" on top. Also remembers
// every position set as the process-wide shown percentage.
LRESULT CALLBACK statusProgressProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zelo::app

#endif
