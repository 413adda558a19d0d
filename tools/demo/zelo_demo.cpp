// Opens the first accessory through the library's exports and shows what it
// reports: count, device path, firmware and loader versions, IR status.
#include <array>
#include <cstdint>
#include <cstdio>

#include "zelo.h"

namespace {

constexpr const char *kNoAccessory =
    "No accessory found. Set ZELO_SIMULATOR (for example ZELO_SIMULATOR=standard) to use a simulated one.";

// The accessory answers command 0x05 with its four-character loader version.
constexpr std::uint8_t kLoaderVersionCommand = 0x05;
constexpr std::uint32_t kVersionTextLength = 4;

// ZELO_GetFirmwareVersion gives the version times 1000; texts have two decimals.
constexpr std::int32_t kVersionScale = 1000;
constexpr std::int32_t kHundredthsPerUnit = 10;

// Byte of the IR status that holds the code of the last IR command received.
constexpr std::size_t kLastIrCommandByte = 3;

// ZELO_GetIRStatus returns 1 when the status was read.
constexpr std::int32_t kIrStatusRead = 1;

bool showLoaderVersion(ZELO_HANDLE handle) {
    const std::uint8_t command = kLoaderVersionCommand;
    std::uint32_t written = 0;
    if (ZELO_Write(handle, &command, 1, &written) != ZELO_OK) {
        std::fprintf(stderr, "Could not send the loader version command.\n");
        return false;
    }
    std::array<std::uint8_t, kVersionTextLength + 1> text{};
    std::uint32_t read = 0;
    if (ZELO_Read(handle, text.data(), kVersionTextLength, &read) != ZELO_OK) {
        std::fprintf(stderr, "The accessory did not answer the loader version command.\n");
        return false;
    }
    std::printf("loader %s\n", reinterpret_cast<const char *>(text.data()));
    return true;
}

bool showIrStatus(ZELO_HANDLE handle) {
    std::array<std::uint8_t, ZELO_IR_STATUS_SIZE> status{};
    if (ZELO_GetIRStatus(handle, status.data()) != kIrStatusRead) {
        std::fprintf(stderr, "Could not read the IR status.\n");
        return false;
    }
    std::printf("IR status:");
    for (std::uint8_t byte : status) {
        std::printf(" %02X", byte);
    }
    std::printf(" (last IR command 0x%02X)\n", status[kLastIrCommandByte]);
    return true;
}

void showDevice(ZELO_HANDLE handle, const char *path) {
    std::printf("device path: %s\n", path);
    const std::int32_t firmware = ZELO_GetFirmwareVersion(handle);
    std::printf("firmware %d.%02d (%d)\n", firmware / kVersionScale, firmware % kVersionScale / kHundredthsPerUnit,
                firmware);
}

int run() {
    std::int32_t count = 0;
    ZELO_GetNumDevices(&count);
    std::printf("accessories found: %d\n", count);
    if (count == 0) {
        std::fprintf(stderr, "%s\n", kNoAccessory);
        return 1;
    }
    ZELO_HANDLE handle = nullptr;
    // A path of the full size arrives without a terminating zero.
    std::array<char, ZELO_DEVICE_PATH_SIZE + 1> path{};
    const std::int32_t opened = ZELO_OpenDeviceFromNum(0, &handle, path.data());
    if (opened != ZELO_OK) {
        std::fprintf(stderr, "Could not open accessory 0 (status %d).\n", opened);
        return 1;
    }
    showDevice(handle, path.data());
    const bool ok = showLoaderVersion(handle) && showIrStatus(handle);
    ZELO_CloseDevice(handle);
    return ok ? 0 : 1;
}

}  // namespace

int main() {
    return run();
}
