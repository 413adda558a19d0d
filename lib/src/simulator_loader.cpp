// Finds the simulator module at run time, so the library never depends on
// it at link time.
#include "backends.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace zelo::hid {

namespace {

#if defined(_WIN32)
constexpr const char *kSimulatorModule = "zelo-sim.dll";

void *findEntryPoint(std::string *error) {
    HMODULE module = LoadLibraryA(kSimulatorModule);
    if (module == nullptr) {
        *error = std::string(kSimulatorModule) + " not found (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    FARPROC entry = GetProcAddress(module, ZELO_SIM_BACKEND_SYMBOL);
    if (entry == nullptr) {
        *error = std::string(kSimulatorModule) + " has no entry point " + ZELO_SIM_BACKEND_SYMBOL;
        return nullptr;
    }
    return reinterpret_cast<void *>(entry);
}
#else
constexpr const char *kSimulatorModule = "libzelo-sim.so";

void *findEntryPoint(std::string *error) {
    // The module stays loaded for the life of the process.
    void *module = dlopen(kSimulatorModule, RTLD_NOW | RTLD_GLOBAL);
    if (module == nullptr) {
        const char *reason = dlerror();
        *error = reason != nullptr ? reason : kSimulatorModule;
        return nullptr;
    }
    void *entry = dlsym(module, ZELO_SIM_BACKEND_SYMBOL);
    if (entry == nullptr) {
        *error = std::string(kSimulatorModule) + " has no entry point " + ZELO_SIM_BACKEND_SYMBOL;
        return nullptr;
    }
    return entry;
}
#endif

}  // namespace

Backend *loadSimulatorBackend(std::string *error) {
    void *entry = findEntryPoint(error);
    if (entry == nullptr) {
        return nullptr;
    }
    auto function = reinterpret_cast<ZeloSimBackendFn>(entry);
    Backend *backend = function();
    if (backend == nullptr) {
        *error = std::string(ZELO_SIM_BACKEND_SYMBOL) + " returned no backend";
    }
    return backend;
}

}  // namespace zelo::hid
