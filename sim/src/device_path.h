// Device interface paths and hardware IDs as Windows writes them, and the
// text handling the backend needs for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace zelo::sim {

std::string interfacePathText(std::uint16_t vendorId, std::uint16_t productId, unsigned serial);
std::string hardwareIdText(std::uint16_t vendorId, std::uint16_t productId);

// The hardware ID of an interface path, in any case, that interfacePathText
// wrote for a serial below serialsGiven; none for any other text. Taken from
// the path itself, so that a device keeps its ID after removal without the
// simulator remembering every device ever plugged.
std::optional<std::string> hardwareIdOfPath(const std::string &path, unsigned serialsGiven);

// Windows compares device paths without regard to case.
std::string foldCase(const std::string &text);

// Copies text into out, cut to size with a terminating zero.
void copyText(const std::string &text, char *out, std::size_t size);

}  // namespace zelo::sim
