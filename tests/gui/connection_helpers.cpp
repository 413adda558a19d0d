#include "connection_helpers.h"

#include <dbt.h>

#include <algorithm>
#include <array>
#include <cstddef>

#include "app_state.h"
#include "protocol.h"
#include "resource.h"

namespace zelo::gui_test {

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kStaticClass[] = L"Static";
constexpr std::size_t kClassNameLength = 64;
constexpr std::size_t kPageNumberAt = 1;  // in a page command: code, then page number

std::wstring className(HWND window) {
    std::array<wchar_t, kClassNameLength> name{};
    GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return name.data();
}

BOOL CALLBACK collectStatic(HWND child, LPARAM parameter) {
    auto *text = reinterpret_cast<std::wstring *>(parameter);
    if (CompareStringOrdinal(className(child).c_str(), -1, kStaticClass, -1, TRUE) == CSTR_EQUAL) {
        *text += windowText(child);
    }
    return TRUE;
}

struct BoxSearch {
    HWND owner;
    const std::wstring *caption;
    const std::wstring *text;
    HWND found = nullptr;
};

BOOL CALLBACK findBox(HWND window, LPARAM parameter) {
    auto *search = reinterpret_cast<BoxSearch *>(parameter);
    if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window) && className(window) == kDialogClass &&
        windowText(window) == *search->caption && (search->text->empty() || messageBoxText(window) == *search->text)) {
        search->found = window;
    }
    return search->found == nullptr;
}

HWND findMessageBox(HWND owner, const std::wstring &caption, const std::wstring &text) {
    BoxSearch search{owner, &caption, &text};
    EnumWindows(findBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

HWND waitForMessageBox(HWND owner, const std::wstring &caption, const std::wstring &text) {
    HWND found = nullptr;
    waitFor([&] {
        found = findMessageBox(owner, caption, text);
        return found != nullptr;
    });
    return found;
}

bool messageBoxOpen(HWND owner, const std::wstring &caption) { return findMessageBox(owner, caption, {}) != nullptr; }

std::wstring messageBoxText(HWND box) {
    std::wstring text;
    EnumChildWindows(box, collectStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

bool answerMessageBox(HWND box, int button) {
    clickButton(box, button);
    return waitFor([&] { return IsWindow(box) == FALSE; });
}

sim::AccessoryConfig accessoryConfig(const std::string &model, const std::string &firmware) {
    sim::AccessoryConfig config;
    config.model = model;
    config.firmware = firmware;
    return config;
}

std::size_t commandCount(const sim::Accessory &accessory, std::uint8_t code) {
    const auto commands = accessory.commands();
    return static_cast<std::size_t>(std::count_if(commands.begin(), commands.end(), [code](const sim::LogEntry &entry) {
        return !entry.bytes.empty() && entry.bytes.front() == code;
    }));
}

std::vector<int> pagesWritten(const sim::Accessory &accessory) {
    std::vector<int> pages;
    for (const sim::LogEntry &entry : accessory.commands()) {
        if (entry.bytes.size() > kPageNumberAt && entry.bytes.front() == device::command::kPageWrite) {
            pages.push_back(entry.bytes[kPageNumberAt]);
        }
    }
    return pages;
}

bool connectedAndLoaded(const ProgramRun &program) {
    return app::deviceConnected() && IsWindowEnabled(GetDlgItem(program.mainWindow(), IDC_MAIN_SAVE)) != FALSE;
}

bool arrivalPending(const ProgramRun &program) {
    // Once the window has handled a message sent after them, the user-
    // interface thread's writes are visible here.
    SendMessageW(program.mainWindow(), WM_NULL, 0, 0);
    return app::processState().arrivalPending;
}

bool waitForArrivalHandled(const ProgramRun &program) {
    return waitFor([&] { return !arrivalPending(program); });
}

void sendDeviceChange(HWND window, WPARAM event, const std::string &path) {
    const std::wstring name(path.begin(), path.end());
    const std::size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (name.size() + 1) * sizeof(wchar_t);
    std::vector<std::byte> record(size);
    auto *broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(record.data());
    broadcast->dbcc_size = static_cast<DWORD>(size);
    broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    std::copy(name.begin(), name.end(), broadcast->dbcc_name);
    broadcast->dbcc_name[name.size()] = L'\0';
    SendMessageW(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record.data()));
}

}  // namespace zelo::gui_test
