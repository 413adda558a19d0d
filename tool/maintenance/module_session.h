// The module page's state apart from its window: the chosen module file's
// bytes, which operation runs, its progress and its outcome. The worker and
// the progress animator read it from their threads; everything they share
// is atomic, and only one operation can be under way at a time (two on the
// serial tunnel at once would corrupt the module).
#ifndef ZELO_MAINTENANCE_MODULE_SESSION_H
#define ZELO_MAINTENANCE_MODULE_SESSION_H

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>

#include "device_link.h"
#include "firmware_files.h"
#include "waits.h"

namespace zelo::maintenance {

enum class ModuleOperationKind : int { RestoreBuiltIn = 1, InstallFile = 2, Erase = 3 };

inline constexpr int kPercentMax = 100;
inline constexpr unsigned kProgressIntervalMs = 75;
inline constexpr int kChoiceWhileBusy = -1;

// The percentage as the page shows it ("%d %%"), clamped to 0..100.
int clampedPercent(int percent);
std::wstring percentText(int percent);
// The status text while an operation runs, and after it ended with result.
std::wstring runningText(ModuleOperationKind kind);
std::wstring outcomeText(ModuleOperationKind kind, int result);
// Before the first operation; not translated, like the running erase text.
inline constexpr std::wstring_view kIdleText = L"Idle...";
inline constexpr std::wstring_view kErasingText = L"erasing module...";
inline constexpr std::wstring_view kErasedText = L"Module successfully erased!";

class ModuleSession {
public:
    // Reads the file into the module image. Only a file that can be
    // installed counts as chosen; anything else leaves the image and the
    // earlier choice as they were. Returns a device::ModuleFileResult, or
    // kChoiceWhileBusy: the running operation reads the image.
    int chooseFile(const std::filesystem::path &path);
    bool fileChosen() const { return fileChosen_.load(); }

    // False when an operation is already under way; otherwise it is now.
    bool begin(ModuleOperationKind kind);
    // The operation begin() started; returns and remembers moduleProgram's
    // result. Then the session is idle again and done() holds.
    int run(device::CDeviceLink *link, device::Waits &waits = device::realWaits());
    bool busy() const { return busy_.load(); }
    bool done() const { return done_.load(); }
    int progress() const { return progress_.load(); }
    ModuleOperationKind kind() const { return kind_.load(); }

    const std::array<std::uint8_t, device::kMaintenanceBufferSize> &image() const { return image_; }

private:
    std::array<std::uint8_t, device::kMaintenanceBufferSize> image_{};
    std::atomic<bool> fileChosen_{false};
    std::atomic<bool> busy_{false};
    std::atomic<bool> done_{true};
    std::atomic<int> progress_{0};
    std::atomic<ModuleOperationKind> kind_{ModuleOperationKind::RestoreBuiltIn};
};

}  // namespace zelo::maintenance

#endif
