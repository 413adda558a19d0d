// Writing the current language's texts into the program's windows and menu,
// and the language dialog. User-interface thread only.
#ifndef ZELO_I18N_TEXTS_WIN_H
#define ZELO_I18N_TEXTS_WIN_H

#include <windows.h>

#include <functional>

namespace zelo::i18n {

// The part of a window's texts that follows state only its owner knows: the
// main window's title, status texts and menu greying; a page's lists, help
// texts and shown controls. applyTexts runs the hook of the dialog id after
// the fixed texts, with the window it is localising. An empty hook removes it.
using TextHook = std::function<void(HWND window)>;
void setTextHook(int dialogId, TextHook hook);

// The live main window and tab pages, so that a language change and the
// repaint after applyTexts reach them. applyTexts also remembers the main
// window and the pages it is called with; the key mapping page does not
// localise itself at creation, so the shell registers every page.
void registerWindow(int dialogId, HWND window);
HWND registeredWindow(int dialogId);
// Drops every window and hook (end of a run).
void forgetWindows();

// The texts of dialog resource dialogId into window, the window's hook, then
// a repaint of the five configuration pages.
void applyTexts(HWND window, int dialogId);

// The menu bar's entries keep their drop-downs; Fill FF and Fill 00 go.
// Then the main window's texts (mainWindow, or the registered one when
// null) and a redraw of its menu bar.
void applyMenuTexts(HMENU menu, HWND mainWindow = nullptr);

// The main window, the six pages in tab order, the menu, then an update.
void applyLanguageToAll(HWND mainWindow);

// The modal language dialog. True when closed with OK (the language is then
// set); Cancel leaves everything as it was.
bool runLanguageDialog(HWND owner);

}  // namespace zelo::i18n

#endif
