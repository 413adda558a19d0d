#include "gui_harness.h"

#include <commctrl.h>

#include <array>
#include <filesystem>

#include "app_state.h"
#include "language.h"
#include "preferences.h"
#include "program_win.h"
#include "resource.h"
#include "zelo_backend/hid_backend.h"
#ifdef ZELO_GUI_CONFIGURATION_PAGES
#include "configuration_pages_win.h"
#endif
#ifdef ZELO_HAS_MAINTENANCE_PAGES
#include "maintenance_pages_win.h"
#endif

namespace zelo::gui_test {

namespace {

constexpr std::chrono::milliseconds kPollInterval{10};
constexpr DWORD kEnglishKey = 3;
constexpr DWORD kNoLanguage = 0xFFFFFFFF;
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr std::size_t kClassNameLength = 64;
constexpr std::uint32_t kReaderPassMs = 50;

std::wstring testKey() {
    return L"Software\\QX Electronics\\ZE-LO GUI test " + std::to_wstring(GetCurrentProcessId());
}

// English is stored, as after an earlier start.
void prepareTestKey() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, testKey().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    const DWORD english = kEnglishKey;
    RegSetValueExW(key, L"Language", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&english), sizeof english);
    RegCloseKey(key);
    app::setPreferencesLocation(HKEY_CURRENT_USER, testKey());
}

// No key and no language chosen, as on a machine where the program never
// ran: the process may have run other tests before.
void prepareFirstStart() {
    RegDeleteTreeW(HKEY_CURRENT_USER, testKey().c_str());
    i18n::resetLanguage();
    app::preferences() = app::Preferences{};
    app::setPreferencesLocation(HKEY_CURRENT_USER, testKey());
}

bool isDialogClass(HWND window) {
    std::array<wchar_t, kClassNameLength> name{};
    GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return std::wstring(name.data()) == kDialogClass;
}

struct OwnedSearch {
    HWND owner;
    std::vector<HWND> found;
};

BOOL CALLBACK collectOwned(HWND window, LPARAM parameter) {
    auto *search = reinterpret_cast<OwnedSearch *>(parameter);
    if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window) && isDialogClass(window)) {
        search->found.push_back(window);
    }
    return TRUE;
}

struct TitleSearch {
    const std::wstring *title;
    HWND found = nullptr;
};

BOOL CALLBACK findDialog(HWND window, LPARAM parameter) {
    auto *search = reinterpret_cast<TitleSearch *>(parameter);
    if (IsWindowVisible(window) && isDialogClass(window) && windowText(window) == *search->title) {
        search->found = window;
    }
    return search->found == nullptr;
}

struct TextSearch {
    const std::wstring *text;
    bool found = false;
};

BOOL CALLBACK findText(HWND window, LPARAM parameter) {
    auto *search = reinterpret_cast<TextSearch *>(parameter);
    if (windowText(window) == *search->text) search->found = true;
    return !search->found;
}

// Records of unfinished saves go to a folder of this process, so no run
// meets another's; set before the program first opens its store.
void useOwnStateFolder() {
    static const bool done = [] {
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("zelo-gui-state-" + std::to_string(GetCurrentProcessId()));
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        return _putenv_s("ZELO_STATE_DIR", folder.string().c_str()) == 0;
    }();
    (void)done;
}

}  // namespace

bool waitFor(const std::function<bool()> &condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

ProgramRun::ProgramRun(StoredPreferences stored) {
    useOwnStateFolder();
    if (stored == StoredPreferences::None) {
        prepareFirstStart();
    } else {
        prepareTestKey();
    }
#ifdef ZELO_GUI_CONFIGURATION_PAGES
    // The real pages, as the program's entry point registers them.
    pages::registerConfigurationPages();
#endif
#ifdef ZELO_HAS_MAINTENANCE_PAGES
    maintenance::registerTestAndMaintenancePages();
#endif
    thread_ = std::thread([this] {
        threadId_ = GetCurrentThreadId();
        result_ = app::runProgram(GetModuleHandleW(nullptr));
        finished_ = true;
    });
    if (stored != StoredPreferences::None) waitUntilShown();
}

bool ProgramRun::waitUntilShown() {
    HWND shown = nullptr;
    waitFor([&] {
        HWND window = app::mainWindow();
        if (window == nullptr || GetWindowThreadProcessId(window, nullptr) != threadId_.load()) return false;
        HWND status = FindWindowExW(window, nullptr, STATUSCLASSNAMEW, nullptr);
        HWND progress = status != nullptr ? GetDlgItem(status, IDC_MAIN_STATUS_PROGRESS) : nullptr;
        if (!IsWindowVisible(window) || progress == nullptr || !IsWindowVisible(progress)) return false;
        shown = window;
        return true;
    });
    mainWindow_ = shown;
    return ready();
}

ProgramRun::~ProgramRun() {
    if (!finished_.load() && threadId_.load() != 0) PostThreadMessageW(threadId_.load(), WM_QUIT, 0, 0);
    if (thread_.joinable()) {
        if (waitFor([this] { return finished_.load(); })) {
            thread_.join();
        } else {
            thread_.detach();
        }
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, testKey().c_str());
}

HWND ProgramRun::tabControl() const { return GetDlgItem(mainWindow_, IDC_MAIN_TAB); }

HWND ProgramRun::statusBar() const { return FindWindowExW(mainWindow_, nullptr, STATUSCLASSNAMEW, nullptr); }

HWND ProgramRun::statusProgress() const { return GetDlgItem(statusBar(), IDC_MAIN_STATUS_PROGRESS); }

HWND ProgramRun::page(int index) const { return app::windowState().pages.at(static_cast<std::size_t>(index)); }

void ProgramRun::command(int id) const { commandTo(mainWindow_, id); }

void ProgramRun::commandTo(HWND dialog, int id) const {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

void ProgramRun::selectTab(int index) const {
    HWND tab = tabControl();
    SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    NMHDR header{};
    header.hwndFrom = tab;
    header.idFrom = IDC_MAIN_TAB;
    header.code = static_cast<UINT>(TCN_SELCHANGE);
    SendMessageW(mainWindow_, WM_NOTIFY, IDC_MAIN_TAB, reinterpret_cast<LPARAM>(&header));
}

std::wstring ProgramRun::tabText(int index) const {
    std::array<wchar_t, kClassNameLength> text{};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    if (SendMessageW(tabControl(), TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) == 0) {
        return L"<no tab>";
    }
    return item.pszText;
}

int ProgramRun::selectedTab() const { return static_cast<int>(SendMessageW(tabControl(), TCM_GETCURSEL, 0, 0)); }

std::wstring ProgramRun::statusText(int part) const {
    HWND bar = statusBar();
    const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

UINT ProgramRun::menuState(UINT command) const { return GetMenuState(GetMenu(mainWindow_), command, MF_BYCOMMAND); }

std::wstring ProgramRun::menuBarText(int position) const {
    std::array<wchar_t, kClassNameLength> text{};
    GetMenuStringW(GetMenu(mainWindow_), static_cast<UINT>(position), text.data(), static_cast<int>(text.size()),
                   MF_BYPOSITION);
    return text.data();
}

std::wstring ProgramRun::menuItemText(UINT command) const {
    std::array<wchar_t, kClassNameLength> text{};
    GetMenuStringW(GetMenu(mainWindow_), command, text.data(), static_cast<int>(text.size()), MF_BYCOMMAND);
    return text.data();
}

std::vector<HWND> ProgramRun::ownedWindows() const {
    OwnedSearch search{mainWindow_, {}};
    EnumThreadWindows(threadId_.load(), collectOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ProgramRun::waitForOwnedWindow(const std::wstring &title) const {
    HWND found = nullptr;
    waitFor([&] {
        for (HWND window : ownedWindows()) {
            if (windowText(window) == title) found = window;
        }
        return found != nullptr;
    });
    return found;
}

bool ProgramRun::ownedWindowOpen(const std::wstring &title) const {
    for (HWND window : ownedWindows()) {
        if (windowText(window) == title) return true;
    }
    return false;
}

HWND ProgramRun::waitForDialog(const std::wstring &title) const {
    TitleSearch search{&title};
    waitFor([&] {
        EnumThreadWindows(threadId_.load(), findDialog, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

bool ProgramRun::waitForEnd() {
    if (!waitFor([this] { return finished_.load(); })) return false;
    if (thread_.joinable()) thread_.join();
    return true;
}

bool showsText(HWND window, const std::wstring &text) {
    TextSearch search{&text};
    EnumChildWindows(window, findText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void clickButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

DWORD storedLanguage() {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, testKey().c_str(), L"Language", RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return kNoLanguage;
    }
    return value;
}

std::optional<StoredValue> storedValue(const wchar_t *name) {
    StoredValue stored{};
    DWORD size = sizeof stored.value;
    if (RegGetValueW(HKEY_CURRENT_USER, testKey().c_str(), name, RRF_RT_ANY, &stored.type, &stored.value, &size) !=
            ERROR_SUCCESS ||
        size != sizeof stored.value) {
        return std::nullopt;
    }
    return stored;
}

SimulatedWorld::SimulatedWorld() {
    useOwnStateFolder();
    world().reset();
    // Closing an accessory waits for one pass of its reader; keep it short.
    hid::Timing timing;
    timing.readWaitMs = kReaderPassMs;
    world().setTiming(timing);
}

SimulatedWorld::~SimulatedWorld() { world().reset(); }

std::shared_ptr<sim::Accessory> SimulatedWorld::plug(const std::string &model) {
    sim::AccessoryConfig config;
    config.model = model;
    return world().plug(config);
}

}  // namespace zelo::gui_test
