// Small helpers the page windows share to move values in and out of their
// dialog controls.
#ifndef ZELO_PAGES_PAGE_CONTROLS_WIN_H
#define ZELO_PAGES_PAGE_CONTROLS_WIN_H

#include <windows.h>

#include <optional>
#include <span>
#include <string>

namespace zelo::pages {

// Empties a drop-down list and fills it with texts.
void fillList(HWND page, int id, std::span<const std::wstring> texts);
// Selects index, or nothing for nullopt or an index beyond the list.
void selectListIndex(HWND page, int id, std::optional<std::size_t> index);
std::optional<std::size_t> listSelection(HWND page, int id);

bool checked(HWND page, int id);
void setChecked(HWND page, int id, bool on);

std::wstring controlText(HWND page, int id);
void setControlText(HWND page, int id, const std::wstring &text);

void showControl(HWND page, int id, bool shown);
void enableControl(HWND page, int id, bool enabled);

// The error message box of the pages: caption Error, OK only.
void showPageError(HWND page, const std::wstring &message);

}  // namespace zelo::pages

#endif
