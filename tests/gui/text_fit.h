// Does every text fit its control? Measures a window's visible statics,
// buttons, check boxes, radio buttons, group boxes and drop-down list
// entries, a tab strip, a status bar and a message box, each with the font
// the control really draws with.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zelo::gui_test {

// Texts must fit with this much room to spare (percent of their width):
// the fonts Windows substitutes for the dialog font run a little wider than
// Wine's.
inline constexpr int kFontMarginPercent = 5;

struct Misfit {
    std::wstring where;  // language and window, as the caller names them
    int controlId;
    std::wstring text;
    std::wstring problem;  // needed against available, in pixels
};

std::wstring describe(const Misfit &misfit);

// The visible text controls and lists whose parent is window.
std::vector<Misfit> measureControls(HWND window, const std::wstring &where);

// A tab control must show every tab without scroll arrows.
std::vector<Misfit> measureTabStrip(HWND tab, const std::wstring &where);

// Each part of a status bar must show its whole text.
std::vector<Misfit> measureStatusBar(HWND bar, const std::wstring &where);

// A message box must lie on the work area and show its whole text.
std::vector<Misfit> measureMessageBox(HWND box, const std::wstring &where);

// A marker ("[VERSION]", ...) or format placeholder ("%s", ...) a shown
// text should never carry; empty when there is none.
std::wstring leftoverPlaceholder(const std::wstring &text);

}  // namespace zelo::gui_test
