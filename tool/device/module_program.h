// Programming the accessory's Bluetooth module through the serial tunnel:
// reset pulse, synchronisation with the module's boot loader, upload and
// start of the loader, then either the erase exchange or the module image
// as memory records with a freshly generated module address.
#ifndef ZELO_DEVICE_MODULE_PROGRAM_H
#define ZELO_DEVICE_MODULE_PROGRAM_H

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>

#include "device_link.h"
#include "firmware_files.h"
#include "images.h"
#include "waits.h"

namespace zelo::device {

// moduleProgram's results: 0, or the step that failed.
enum ModuleProgramResult : int {
    ModuleProgramOk = 0,
    ModuleUartEnableFailed = 1,
    ModuleFirstPulseFailed = 2,
    ModuleSyncFailed = 3,
    ModuleLoaderUploadFailed = 4,
    ModuleLoaderStartFailed = 5,
    ModuleWriteFailed = 7,  // the module image or, for an erase, the erase exchange
    ModuleUartDisableFailed = 10,
    ModuleFinalPulseFailed = 11,
};

// Accessory command that drives the module's reset line (payload 0 or 1).
inline constexpr std::uint8_t kModuleResetCommand = 0x12;
inline constexpr std::uint8_t kModuleResetLow = 0x00;
inline constexpr std::uint8_t kModuleResetHigh = 0x01;

// Every generated module address ends in these bytes; only the first byte
// is drawn at random.
inline constexpr std::array<std::uint8_t, kModuleAddressSize - 1> kModuleAddressPrefix{0x5A, 0x4C, 0x3E, 0x71, 0x02};

// Where the module image's header record takes the module address.
inline constexpr std::size_t kModuleAddressOffset = 14;

using ModuleImageView = std::span<const std::uint8_t, kModuleImageSize>;

// Reset pulse of the module: low, then high, 25 ms around each level. The
// result is that of the command that raises the line.
int modulePulse(CDeviceLink &link, Waits &waits);

// Installs image (nullopt: the module image built into the program) or,
// with eraseOnly, erases the module. progress is set to 0 first and then
// raised; another thread may read it at any time. Returns a
// ModuleProgramResult. Every wait goes through waits; every serial read is
// bounded by the library's time limit, so a module that stops answering
// ends the sequence with the current step's code.
int moduleProgram(CDeviceLink &link, std::atomic<int> &progress, std::optional<ModuleImageView> image,
                  bool eraseOnly, Waits &waits = realWaits());

// Whether a module file, loaded with the given ModuleFileResult, may be
// installed: raw files and Intel HEX text converted to the module image
// are; files that could not be read or converted are refused.
bool moduleFileInstallable(int loadResult);

// The module image of a loaded maintenance buffer.
inline ModuleImageView moduleImageOf(std::span<const std::uint8_t, kMaintenanceBufferSize> buffer) {
    return buffer.first<kModuleImageSize>();
}

}  // namespace zelo::device

#endif
