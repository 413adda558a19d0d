// Runs the real program in-process for GUI tests: the main window lives on
// a user-interface thread of its own, the test thread drives it with
// messages and waits for what it expects with a deadline. Preferences go to
// a key of the test's own, with English stored, so no language dialog
// interrupts the start and no run sees another's language; a first-start
// test leaves that key absent instead.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "zelo_sim/sim.h"

namespace zelo::gui_test {

inline constexpr std::chrono::seconds kDeadline{20};

// Polls condition until it holds or the deadline passes.
bool waitFor(const std::function<bool()> &condition, std::chrono::milliseconds deadline = kDeadline);

std::wstring windowText(HWND window);

// What the test's preferences key holds when the program starts.
enum class StoredPreferences : std::uint8_t {
    English,  // as after an earlier start
    None,     // a first start: no key, no language chosen in the process yet
};

class ProgramRun {
public:
    // Starts the program and waits until its main window is shown. A first
    // start returns at once: the language dialog comes before the window,
    // and the test waits with waitUntilShown after answering it.
    explicit ProgramRun(StoredPreferences stored = StoredPreferences::English);
    // Ends a program the test left running.
    ~ProgramRun();
    ProgramRun(const ProgramRun &) = delete;
    ProgramRun &operator=(const ProgramRun &) = delete;

    bool ready() const { return mainWindow_ != nullptr; }
    bool waitUntilShown();
    HWND mainWindow() const { return mainWindow_; }
    HWND tabControl() const;
    HWND statusBar() const;
    HWND statusProgress() const;
    HWND page(int index) const;

    // Commands are posted: some open modal windows that the test closes.
    void command(int id) const;
    void commandTo(HWND dialog, int id) const;
    // As the user clicks a tab: select it, then the notification.
    void selectTab(int index) const;

    std::wstring tabText(int index) const;
    int selectedTab() const;
    std::wstring statusText(int part) const;
    UINT menuState(UINT command) const;  // as GetMenuState, by command
    std::wstring menuBarText(int position) const;
    std::wstring menuItemText(UINT command) const;

    // A dialog or message box owned by the main window, by its title.
    HWND waitForOwnedWindow(const std::wstring &title) const;
    bool ownedWindowOpen(const std::wstring &title) const;
    // A shown dialog of the program's user-interface thread, by its title,
    // whatever its owner (the main window may not be shown yet).
    HWND waitForDialog(const std::wstring &title) const;

    // True when the program has returned; its result.
    bool waitForEnd();
    bool ended() const { return finished_.load(); }
    int result() const { return result_; }

private:
    std::vector<HWND> ownedWindows() const;

    std::thread thread_;
    std::atomic<bool> finished_{false};
    std::atomic<DWORD> threadId_{0};
    int result_ = -1;
    HWND mainWindow_ = nullptr;
};

// Does any child control of window show text?
bool showsText(HWND window, const std::wstring &text);

// Clicks a button of a dialog or message box (IDYES, IDNO, IDOK, ...).
void clickButton(HWND dialog, int id);

// The stored language of the test's preferences key, 0xFFFFFFFF when absent.
DWORD storedLanguage();

// A 4-byte value of the test's preferences key, with its registry type.
struct StoredValue {
    DWORD type;
    DWORD value;
};
std::optional<StoredValue> storedValue(const wchar_t *name);

// A fresh simulated world around each test.
class SimulatedWorld {
public:
    SimulatedWorld();
    ~SimulatedWorld();
    std::shared_ptr<sim::Accessory> plug(const std::string &model = "standard");
    static sim::World &world() { return sim::World::instance(); }
};

}  // namespace zelo::gui_test
