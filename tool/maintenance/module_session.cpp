#include "module_session.h"

#include <algorithm>
#include <optional>

#include "module_program.h"
#include "texts.h"

namespace zelo::maintenance {

namespace {
constexpr int kLinkMissing = device::ModuleUartEnableFailed;  // nothing could be sent
}

int clampedPercent(int percent) { return std::clamp(percent, 0, kPercentMax); }

std::wstring percentText(int percent) { return std::to_wstring(clampedPercent(percent)) + L" %"; }

std::wstring runningText(ModuleOperationKind kind) {
    if (kind == ModuleOperationKind::Erase) return std::wstring(kErasingText);
    return i18n::text(i18n::Msg::InstallingModule);
}

std::wstring outcomeText(ModuleOperationKind kind, int result) {
    if (result != device::ModuleProgramOk) return i18n::text(i18n::Msg::ModuleInstallError);
    if (kind == ModuleOperationKind::Erase) return std::wstring(kErasedText);
    return i18n::text(i18n::Msg::ModuleInstalled);
}

int ModuleSession::chooseFile(const std::filesystem::path &path) {
    if (busy_.load()) return kChoiceWhileBusy;
    // Read aside first: a refused file must not disturb the chosen one.
    std::array<std::uint8_t, device::kMaintenanceBufferSize> read{};
    const int result = device::readModuleFile(path, read);
    if (!device::moduleFileInstallable(result)) return result;
    image_ = read;
    fileChosen_ = true;
    return result;
}

bool ModuleSession::begin(ModuleOperationKind kind) {
    bool idle = false;
    if (!busy_.compare_exchange_strong(idle, true)) return false;
    kind_ = kind;
    progress_ = 0;
    done_ = false;
    return true;
}

int ModuleSession::run(device::CDeviceLink *link, device::Waits &waits) {
    int result = kLinkMissing;
    if (link != nullptr) {
        const ModuleOperationKind kind = kind_.load();
        std::optional<device::ModuleImageView> image;
        if (kind == ModuleOperationKind::InstallFile) image = device::moduleImageOf(image_);
        result = device::moduleProgram(*link, progress_, image, kind == ModuleOperationKind::Erase, waits);
    }
    done_ = true;
    busy_ = false;
    return result;
}

}  // namespace zelo::maintenance
