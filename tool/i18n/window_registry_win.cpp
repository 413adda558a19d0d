// The windows and hooks applyTexts reaches, by dialog id.
#include "window_registry_win.h"

#include <map>

namespace zelo::i18n {
namespace {

struct Registry {
    std::map<int, HWND> windows;
    std::map<int, TextHook> hooks;
};

Registry &registry() {
    static Registry instance;
    return instance;
}

}  // namespace

void setTextHook(int dialogId, TextHook hook) {
    if (hook) {
        registry().hooks[dialogId] = std::move(hook);
    } else {
        registry().hooks.erase(dialogId);
    }
}

void registerWindow(int dialogId, HWND window) { registry().windows[dialogId] = window; }

HWND registeredWindow(int dialogId) {
    const auto &windows = registry().windows;
    const auto found = windows.find(dialogId);
    if (found == windows.end() || IsWindow(found->second) == FALSE) return nullptr;
    return found->second;
}

void forgetWindows() {
    registry().windows.clear();
    registry().hooks.clear();
}

void runTextHook(int dialogId, HWND window) {
    const auto &hooks = registry().hooks;
    const auto found = hooks.find(dialogId);
    // A copy: the hook may replace itself while it runs.
    if (found != hooks.end()) TextHook(found->second)(window);
}

}  // namespace zelo::i18n
