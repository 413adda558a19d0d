// The Install module tab: choosing a module file, installing it, restoring
// the module image built into the program, erasing the module, with the
// progress and the outcome of the running operation.
#ifndef ZELO_MAINTENANCE_MODULE_PAGE_WIN_H
#define ZELO_MAINTENANCE_MODULE_PAGE_WIN_H

#include <windows.h>

#include <memory>
#include <string>

#include "module_session.h"
#include "page_window_win.h"

namespace zelo::maintenance {

// Page messages. The operation's threads post their reports, so they never
// wait for the user-interface thread (which may itself be waiting for them
// at the end of the program).
inline constexpr UINT UM_MODULE_PERCENT = WM_APP + 1;  // wParam: percentage
inline constexpr UINT UM_MODULE_DONE = WM_APP + 2;     // wParam: moduleProgram's result
// Sent with lParam a const wchar_t * path: the page takes the file as if the
// open-file dialog had returned it.
inline constexpr UINT UM_MODULE_FILE_CHOSEN = WM_APP + 3;

inline constexpr DWORD kModulePathCharacters = MAX_PATH;

class ModulePage final : public app::PageWindow {
public:
    INT_PTR handleMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) override;
    void refreshTexts();

private:
    void chooseModuleFile();
    void takeFile(const std::wstring &path);
    void startOperation(ModuleOperationKind kind);
    void operationEnded(int result);
    void showPercent(int percent);
    void enableOperations();
};

// The session the page, its worker and its animator share.
ModuleSession &moduleSession();

// The pauses the operations take (the real ones unless set); tests that
// drive a module through its 26 unanswered synchronisations set quicker
// ones.
void setModuleWaits(device::Waits &waits);

// The bodies of the ModuleOperation and ModuleProgress tasks.
void runModuleOperation();
void runModuleProgress();

std::unique_ptr<app::PageWindow> makeModulePage();

}  // namespace zelo::maintenance

#endif
