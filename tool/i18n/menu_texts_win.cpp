// applyMenuTexts: the main menu's texts in the current language.
#include <string>

#include "resource.h"
#include "texts.h"
#include "texts_win.h"

namespace zelo::i18n {
namespace {

// Menu bar entries by position; each keeps its drop-down menu.
constexpr Msg kBarEntries[] = {Msg::MenuFile, Msg::MenuTools, Msg::MenuOptions, Msg::MenuHelp};

struct MenuItemText {
    UINT command;
    Msg msg;
};

constexpr MenuItemText kItems[] = {
    {IDM_FILE_EXPORT_SETTINGS, Msg::ExportSettings},
    {IDM_FILE_IMPORT_SETTINGS, Msg::ImportSettings},
    {IDM_FILE_EXIT, Msg::Exit},
    {IDM_OPTIONS_LANGUAGE, Msg::Language},
    {IDM_OPTIONS_RESTORE_DEFAULTS, Msg::RestoreDefaults},
    {IDM_TOOLS_PAIR, Msg::PairWithPs3},
    {IDM_HELP_HELP, Msg::MenuHelp},
    {IDM_HELP_CHECK_UPDATES, Msg::CheckForUpdates},
    {IDM_HELP_ABOUT, Msg::About},
};

// Test commands of the resource that the program never offers.
constexpr UINT kRemovedItems[] = {IDM_OPTIONS_FILL_FF, IDM_OPTIONS_FILL_00};

// Only the string changes: drop-downs, ids and states stay. By command the
// lookup searches the drop-downs too.
void setItemText(HMENU menu, UINT item, BOOL byPosition, Msg msg) {
    std::wstring itemText = text(msg);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = itemText.data();
    SetMenuItemInfoW(menu, item, byPosition, &info);
}

}  // namespace

void applyMenuTexts(HMENU menu, HWND mainWindow) {
    if (menu != nullptr) {
        UINT position = 0;
        for (Msg entry : kBarEntries) setItemText(menu, position++, TRUE, entry);
        for (const MenuItemText &item : kItems) setItemText(menu, item.command, FALSE, item.msg);
        for (UINT command : kRemovedItems) RemoveMenu(menu, command, MF_BYCOMMAND);
    }
    if (mainWindow == nullptr) mainWindow = registeredWindow(IDD_MAIN);
    if (mainWindow == nullptr) return;
    applyTexts(mainWindow, IDD_MAIN);
    DrawMenuBar(mainWindow);
}

}  // namespace zelo::i18n
