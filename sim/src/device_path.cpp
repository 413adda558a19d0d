#include "device_path.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace zelo::sim {

namespace {
constexpr std::size_t kTextRoom = 160;
// The device interface class of HID devices.
constexpr const char *kHidInterfaceClass = "{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr unsigned kRevision = 0x0100;
}  // namespace

std::string interfacePathText(std::uint16_t vendorId, std::uint16_t productId, unsigned serial) {
    char text[kTextRoom];
    std::snprintf(text, sizeof text, "\\\\?\\hid#vid_%04x&pid_%04x#sim&%u#%s", vendorId, productId, serial,
                  kHidInterfaceClass);
    return text;
}

std::string hardwareIdText(std::uint16_t vendorId, std::uint16_t productId) {
    char text[kTextRoom];
    std::snprintf(text, sizeof text, "HID\\VID_%04X&PID_%04X&REV_%04X", vendorId, productId, kRevision);
    return text;
}

std::optional<std::string> hardwareIdOfPath(const std::string &path, unsigned serialsGiven) {
    const std::string folded = foldCase(path);
    unsigned vendorId = 0;
    unsigned productId = 0;
    unsigned serial = 0;
    if (std::sscanf(folded.c_str(), "\\\\?\\hid#vid_%4x&pid_%4x#sim&%u#", &vendorId, &productId, &serial) != 3)
        return std::nullopt;
    const auto vendor = static_cast<std::uint16_t>(vendorId);
    const auto product = static_cast<std::uint16_t>(productId);
    // Only the exact text this simulator wrote: no other digits, case aside.
    if (serial >= serialsGiven || foldCase(interfacePathText(vendor, product, serial)) != folded) return std::nullopt;
    return hardwareIdText(vendor, product);
}

std::string foldCase(const std::string &text) {
    std::string folded = text;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

void copyText(const std::string &text, char *out, std::size_t size) {
    if (out == nullptr || size == 0) return;
    const std::size_t count = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), count);
    out[count] = '\0';
}

}  // namespace zelo::sim
