#include "module_page_win.h"

#include <commdlg.h>
#include <commctrl.h>

#include <array>
#include <atomic>

#include "app_state.h"
#include "module_path.h"
#include "module_program.h"
#include "resource.h"
#include "tab_pages_win.h"
#include "texts.h"
#include "texts_win.h"
#include "workers_win.h"

namespace zelo::maintenance {

namespace {

// The dialog's filter pairs, each ending in a null, the list in two.
constexpr wchar_t kFileFilter[] =
    L"ZE\u00B7LO firmware image (*.hex;*.bin;)\0*.hex;*.bin;\0All Files (*.*)\0*.*\0";
constexpr wchar_t kDefaultExtension[] = L"hex";
constexpr wchar_t kErrorSeparator[] = L": ";

constexpr int kOperationButtons[] = {IDC_MODULE_UPDATE, IDC_MODULE_RESTORE, IDC_MODULE_ERASE, IDC_MODULE_CLOSE,
                                     IDC_MODULE_REMOVE};
constexpr int kHiddenButtons[] = {IDC_MODULE_CLOSE, IDC_MODULE_REMOVE, IDC_MODULE_SPARE_A, IDC_MODULE_SPARE_B};

// Where the operation's threads post their reports; null while no page.
std::atomic<HWND> g_pageWindow{nullptr};

void post(UINT message, WPARAM wParam) {
    if (HWND page = g_pageWindow.load()) PostMessageW(page, message, wParam, 0);
}

void enable(HWND page, int control, bool on) { EnableWindow(GetDlgItem(page, control), on ? TRUE : FALSE); }

void setText(HWND page, int control, const std::wstring &text) { SetDlgItemTextW(page, control, text.c_str()); }

std::wstring programPath() {
    std::array<wchar_t, kModulePathCharacters> path{};
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    return std::wstring(path.data(), length < path.size() ? length : 0);
}

}  // namespace

ModuleSession &moduleSession() {
    static ModuleSession session;
    return session;
}

namespace {
std::atomic<device::Waits *> g_moduleWaits{&device::realWaits()};
}  // namespace

void setModuleWaits(device::Waits &waits) { g_moduleWaits.store(&waits); }

void runModuleOperation() {
    post(UM_MODULE_DONE, static_cast<WPARAM>(moduleSession().run(app::deviceLink(), *g_moduleWaits.load())));
}

void runModuleProgress() {
    const ModuleSession &session = moduleSession();
    post(UM_MODULE_PERCENT, 0);
    while (!session.done()) {
        post(UM_MODULE_PERCENT, static_cast<WPARAM>(clampedPercent(session.progress())));
        Sleep(kProgressIntervalMs);
    }
    post(UM_MODULE_PERCENT, kPercentMax);
}

INT_PTR ModulePage::handleMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        g_pageWindow = page;
        for (const int control : kHiddenButtons) ShowWindow(GetDlgItem(page, control), SW_HIDE);
        SendDlgItemMessageW(page, IDC_MODULE_PROGRESS, PBM_SETRANGE32, 0, kPercentMax);
        setText(page, IDC_MODULE_STATUS, std::wstring(kIdleText));
        showPercent(0);
        i18n::setTextHook(IDD_PAGE_MODULE, [](HWND) {
            if (auto *self = dynamic_cast<ModulePage *>(app::pageWindow(app::PageIndex::InstallModule))) {
                self->refreshTexts();
            }
        });
        refreshTexts();
        enable(page, IDC_MODULE_UPDATE, false);
        return TRUE;
    case WM_NCDESTROY:
        g_pageWindow = nullptr;
        return FALSE;
    case UM_MODULE_PERCENT:
        showPercent(static_cast<int>(wParam));
        return TRUE;
    case UM_MODULE_DONE:
        operationEnded(static_cast<int>(wParam));
        return TRUE;
    case UM_MODULE_FILE_CHOSEN:
        if (lParam != 0) takeFile(reinterpret_cast<const wchar_t *>(lParam));
        return TRUE;
    case WM_COMMAND:
        break;
    default:
        return FALSE;
    }
    switch (LOWORD(wParam)) {
    case IDC_MODULE_SELECT:
        chooseModuleFile();
        return TRUE;
    case IDC_MODULE_UPDATE:
        startOperation(ModuleOperationKind::InstallFile);
        return TRUE;
    case IDC_MODULE_RESTORE:
        startOperation(ModuleOperationKind::RestoreBuiltIn);
        return TRUE;
    case IDC_MODULE_ERASE:
        startOperation(ModuleOperationKind::Erase);
        return TRUE;
    default:
        return FALSE;
    }
}

// A running operation keeps its buttons disabled whatever a tab switch or a
// language change repaints: a second operation would corrupt the module.
void ModulePage::refreshTexts() {
    HWND page = window();
    if (page == nullptr) return;
    if (!app::deviceConnected()) {
        for (const int control : {IDC_MODULE_UPDATE, IDC_MODULE_RESTORE, IDC_MODULE_ERASE}) {
            enable(page, control, false);
        }
        return;
    }
    if (moduleSession().busy()) return;
    enable(page, IDC_MODULE_RESTORE, true);
    enable(page, IDC_MODULE_ERASE, true);
}

void ModulePage::chooseModuleFile() {
    const std::wstring folder = modulesFolderBeside(programPath());
    const std::wstring title = i18n::text(i18n::Msg::InstallModule);
    std::array<wchar_t, kModulePathCharacters> path{};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window();
    dialog.lpstrFilter = kFileFilter;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = kDefaultExtension;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (!GetOpenFileNameW(&dialog)) return;
    takeFile(path.data());
}

// A file that cannot be read or installed is reported and not shown as the
// chosen one; the earlier choice stays.
void ModulePage::takeFile(const std::wstring &path) {
    HWND page = window();
    ModuleSession &session = moduleSession();
    if (!device::moduleFileInstallable(session.chooseFile(path))) {
        setText(page, IDC_MODULE_STATUS, i18n::text(i18n::Msg::Error) + kErrorSeparator + fileNameOf(path));
        return;
    }
    setText(page, IDC_MODULE_FILE, shortenedModulePath(path));
    enable(page, IDC_MODULE_UPDATE, true);
}

void ModulePage::startOperation(ModuleOperationKind kind) {
    HWND page = window();
    if (!app::deviceConnected()) return;
    if (kind == ModuleOperationKind::InstallFile && !moduleSession().fileChosen()) return;
    if (!moduleSession().begin(kind)) return;
    for (const int control : kOperationButtons) enable(page, control, false);
    setText(page, IDC_MODULE_STATUS, runningText(kind));
    if (!app::startWorker(app::ModuleOperation)) {
        operationEnded(moduleSession().run(nullptr));
        return;
    }
    app::startWorker(app::ModuleProgress);
}

void ModulePage::operationEnded(int result) {
    enableOperations();
    setText(window(), IDC_MODULE_STATUS, outcomeText(moduleSession().kind(), result));
}

void ModulePage::enableOperations() {
    HWND page = window();
    enable(page, IDC_MODULE_RESTORE, true);
    enable(page, IDC_MODULE_ERASE, true);
    if (moduleSession().fileChosen()) enable(page, IDC_MODULE_UPDATE, true);
}

void ModulePage::showPercent(int percent) {
    const int shown = clampedPercent(percent);
    SendDlgItemMessageW(window(), IDC_MODULE_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(shown), 0);
    setText(window(), IDC_MODULE_PERCENT, percentText(shown));
}

std::unique_ptr<app::PageWindow> makeModulePage() { return std::make_unique<ModulePage>(); }

}  // namespace zelo::maintenance
