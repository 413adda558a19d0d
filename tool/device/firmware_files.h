// Loading firmware files (Intel HEX) and Bluetooth module files into the
// maintenance buffer, the program's one copy of the last loaded file.
#ifndef ZELO_DEVICE_FIRMWARE_FILES_H
#define ZELO_DEVICE_FIRMWARE_FILES_H

#include "hex_file.h"
#include "images.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

namespace zelo::device {

inline constexpr std::size_t kMaintenanceBufferSize = 18000;
// Flash address of the firmware image: the first firmware page.
inline constexpr std::uint32_t kFirmwareFileAddress = kFirmwarePages.front() * kPageSize;
// The module image is laid out as the module's memory from this address.
inline constexpr std::uint32_t kModuleImageAddress = 0x8000;
// Intel HEX text of a module file is read up to this size; a longer text
// loses its end record and is refused.
inline constexpr std::size_t kMaxModuleFileBytes = 256 * 1024;

static_assert(kFirmwareImageSize <= kMaintenanceBufferSize && kModuleImageSize <= kMaintenanceBufferSize);
static_assert(kFirmwareFileAddress + kFirmwareImageSize <= HexImage::kSize);
static_assert(kModuleImageAddress + kModuleImageSize <= HexImage::kSize);

using MaintenanceBuffer = std::span<std::uint8_t, kMaintenanceBufferSize>;

// Results of loading a module file. Only raw and converted files change the
// buffer.
enum ModuleFileResult : int {
    ModuleFileRaw = 0,              // raw bytes, the first kMaintenanceBufferSize of them
    ModuleFileUnreadable = 1,       // cannot be opened, or empty
    ModuleFileFromHex = 2,          // Intel HEX text, converted to the module image
    ModuleFileBadHex = 3,           // Intel HEX text with a malformed record or no end record
    ModuleFileHexOutsideModule = 4, // Intel HEX text with data outside the module image, or none
    ModuleFileTextNotHex = 5,       // text only, but not Intel HEX: no module image is
};

// The one place that decides what a module file's bytes mean. Text whose
// first non-blank character is ':' is Intel HEX: every line must be a valid
// record, and the data at kModuleImageAddress onwards becomes the module
// image (0xFF where the file has nothing). Other text (a note, a saved web
// page) is refused: a module image always holds bytes outside printable
// text, and programming a text file would leave the module unable to start.
// Anything else is raw bytes. The
// buffer is filled with 0xFF behind what the file provides, so nothing of
// an earlier file survives.
int moduleImageFromFileBytes(std::span<const std::uint8_t> file, MaintenanceBuffer buffer);

// Reads a module file and applies moduleImageFromFileBytes.
int readModuleFile(const std::filesystem::path &path, MaintenanceBuffer buffer);

// The HEX image and the maintenance buffer, kept together by the program.
class FirmwareFiles {
public:
    FirmwareFiles();

    // Reads the file with readHexFile and copies the firmware image's
    // addresses into the buffer whatever the outcome, so a damaged file
    // still yields a full image (0xFF where the file had nothing). Returns
    // the reader's result for callers that want to warn.
    int loadFirmwareFile(const std::filesystem::path &path);
    // Returns a ModuleFileResult.
    int loadModuleFile(const std::filesystem::path &path);

    std::span<const std::uint8_t, kMaintenanceBufferSize> buffer() const { return buffer_; }
    const HexImage &hexImage() const { return hex_; }

private:
    HexImage hex_;
    std::array<std::uint8_t, kMaintenanceBufferSize> buffer_{};
};

}  // namespace zelo::device

#endif
