// Whole input reports with the report-ID byte first, as the library core
// expects them (and the Windows driver delivers them), from hidraw reads:
// hidraw leaves the ID byte out of unnumbered reports and delivers a report
// only as long as the device sent it.
#pragma once

#include <cstdint>

#include "hid_api.h"

namespace zelo::hid::linux_backend {

struct InputFormat {
    std::uint32_t reportLength = 0;  // report-ID byte included
    bool numbered = false;
};

// Reads one report into report (reportLength bytes): the ID byte is put in
// front when the device does not send it, and a short report is filled up
// with zeros. Returns as HidApi::read does: reportLength, 0 or -1.
int readWholeReport(HidApi &api, HidHandle handle, const InputFormat &format, std::uint8_t *report, int timeoutMs);

}  // namespace zelo::hid::linux_backend
