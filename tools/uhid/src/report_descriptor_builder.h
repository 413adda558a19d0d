// The report descriptor a presented accessory gives the kernel: one
// vendor-defined application collection, unnumbered input, output and
// feature reports of the simulated accessory's lengths.
#pragma once

#include <cstdint>
#include <vector>

#include "zelo_backend/hid_backend.h"

namespace zelo::uhid {

inline constexpr std::uint16_t kVendorUsagePage = 0xFF00;
inline constexpr std::uint16_t kVendorUsage = 0x0001;

// lengths count the report-ID byte, as the library's report lengths do; a
// length of 0 or 1 leaves that kind of report out. Collections beyond the
// first (usages 2, 3, ...) carry no reports: they give the device more
// top-level usages, as composite devices have.
std::vector<std::uint8_t> reportDescriptor(const hid::ReportLengths &lengths, int collections = 1);

}  // namespace zelo::uhid
