// The help and update pages, the update offer, and the automatic check
// started on a worker that reaches back to the user-interface thread.
#include <windows.h>
#include <shellapi.h>

#include "update_check.h"

#include <optional>
#include <system_error>
#include <thread>

#include "app_state.h"
#include "catalogue.h"
#include "language.h"
#include "preferences.h"

#ifndef ZELO_UPDATE_HOST
#define ZELO_UPDATE_HOST ""
#endif

namespace zelo::app {

namespace {

constexpr char kBuildTimeHost[] = ZELO_UPDATE_HOST;
constexpr std::size_t kWideVersionLimit = 100;  // the latest version as the catalogue prompt shows it

// ---- The program's own outside world ---------------------------------------

bool askWithMessageBox(const std::wstring &text, const std::wstring &caption) {
    return MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_ICONINFORMATION | MB_YESNO) == IDYES;
}

void openWithShell(const std::string &query) {
    ShellExecuteA(nullptr, "open", query.c_str(), "", "", SW_SHOWNORMAL);
}

void sleepFor(std::chrono::milliseconds delay) { std::this_thread::sleep_for(delay); }

UpdateEnvironment programEnvironment() {
    return UpdateEnvironment{kBuildTimeHost, kHttpPort, sleepFor, askWithMessageBox, openWithShell};
}

void openPage(std::string_view path) {
    const UpdateEnvironment &environment = updateEnvironment();
    if (environment.host.empty()) return;
    const QuerySubject subject = querySubject(deviceLink(), i18n::languageKey());
    environment.openPage(buildUpdateQuery(pageAddress(environment.host, path), subject, QueryOrigin::User));
}

std::wstring widen(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::wstring offerPrompt(const UpdateOffer &offer) {
    if (!offer.text.empty()) return widen(offer.text);
    const std::wstring latest = widen(offer.version).substr(0, kWideVersionLimit);
    return fillOfferPrompt(i18n::text(i18n::Msg::NewSoftwareAvailable), kSoftwareVersionNumber, latest);
}

// ---- The worker's way back to the user-interface thread ---------------------

constexpr wchar_t kRelayClass[] = L"ZeloUpdateCheckRelay";
constexpr UINT kSubjectRequest = WM_APP + 1;  // lParam: QuerySubject to fill
constexpr UINT kOfferRequest = WM_APP + 2;    // lParam: the UpdateOffer
constexpr UINT kCheckFinished = WM_APP + 3;   // wParam: the result

struct Relay {
    std::function<void(int)> finished;
};

LRESULT CALLBACK relayProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        const auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    case kSubjectRequest:
        *reinterpret_cast<QuerySubject *>(lParam) = querySubject(deviceLink(), i18n::languageKey());
        return 0;
    case kOfferRequest:
        offerUpdate(*reinterpret_cast<const UpdateOffer *>(lParam));
        return 0;
    case kCheckFinished: {
        const auto *relay = reinterpret_cast<const Relay *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (relay != nullptr && relay->finished) relay->finished(static_cast<int>(wParam));
        DestroyWindow(window);
        return 0;
    }
    case WM_NCDESTROY:
        delete reinterpret_cast<Relay *>(SetWindowLongPtrW(window, GWLP_USERDATA, 0));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// A message-only window of the user-interface thread: what the worker sends
// to it runs there, between that thread's other messages.
HWND createRelay(std::function<void(int)> finished) {
    static const ATOM relayClass = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = relayProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kRelayClass;
        return RegisterClassExW(&windowClass);
    }();
    if (relayClass == 0) return nullptr;
    auto *relay = new Relay{std::move(finished)};
    HWND window = CreateWindowExW(0, kRelayClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), relay);
    if (window == nullptr) delete relay;
    return window;
}

void automaticCheckWorker(UpdateEnvironment environment, HWND relay) {
    const auto subject = [relay] {
        QuerySubject taken;
        SendMessageW(relay, kSubjectRequest, 0, reinterpret_cast<LPARAM>(&taken));
        return taken;
    };
    const auto offer = [relay](const UpdateOffer &offered) {
        SendMessageW(relay, kOfferRequest, 0, reinterpret_cast<LPARAM>(&offered));
    };
    const int result = runAutomaticUpdateCheck(environment, subject, offer);
    PostMessageW(relay, kCheckFinished, static_cast<WPARAM>(result), 0);
}

}  // namespace

UpdateEnvironment &updateEnvironment() {
    static UpdateEnvironment environment = programEnvironment();
    return environment;
}

void resetUpdateEnvironment() { updateEnvironment() = programEnvironment(); }

void openHelpPage() { openPage(kHelpPagePath); }

void openUpdatePage() { openPage(kUpdatePagePath); }

bool offerUpdate(const UpdateOffer &offer) {
    const bool yes = updateEnvironment().askYesNo(offerPrompt(offer), i18n::text(i18n::Msg::UpgradeSoftware));
    if (yes) openUpdatePage();
    return yes;
}

bool startAutomaticUpdateCheck(std::function<void(int)> finished) {
    const UpdateEnvironment &environment = updateEnvironment();
    if (!checkForUpdatesPreference() || environment.host.empty()) return false;
    HWND relay = createRelay(std::move(finished));
    if (relay == nullptr) return false;
    try {
        // Not joined: a check still running when the program ends ends with it.
        std::thread(automaticCheckWorker, environment, relay).detach();
    } catch (const std::system_error &) {
        DestroyWindow(relay);
        return false;
    }
    return true;
}

}  // namespace zelo::app
