// The HID backends the library can run on, and the one it uses.
#pragma once

#include <string>

#include "zelo_backend/hid_backend.h"

namespace zelo::hid {

// The Windows HID class driver (lib/src/win/windows_backend.cpp).
Backend *windowsBackend();

// hidapi-hidraw and udev on Linux (lib/src/linux/).
Backend *linuxBackend();

// The browser's WebHID (lib/src/web/webhid_backend.cpp).
Backend *webHidBackend();

// A machine without HID interfaces.
Backend *emptyBackend();

// Loads the simulator module and returns its backend; null with a reason
// in error when the module or its entry point is missing.
Backend *loadSimulatorBackend(std::string *error);

// Tests that link the library's objects run the core on a backend of their
// own; null goes back to the chosen one.
void useBackendForTesting(Backend *backend);

// Chosen once, on first use: the simulator when ZELO_SIMULATOR is set,
// otherwise the platform's HID backend.
Backend &backend();

}  // namespace zelo::hid
