// What the library needs from a HID report descriptor: the longest input,
// output and feature report (report-ID byte included, as the Windows HID
// driver counts them) and whether the device numbers its reports.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "zelo_backend/hid_backend.h"

namespace zelo::hid::linux_backend {

struct ReportLayout {
    ReportLengths lengths;
    // Numbered reports carry their ID in byte 0 on hidraw; unnumbered ones
    // arrive without it.
    bool numbered = false;
};

// Nullopt when the descriptor is cut off in the middle of an item or
// declares a report longer than hidraw can deliver.
std::optional<ReportLayout> parseReportDescriptor(const std::vector<std::uint8_t> &descriptor);

}  // namespace zelo::hid::linux_backend
