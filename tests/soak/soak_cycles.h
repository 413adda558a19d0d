// The cycles a soak repeats against the in-process simulator: each returns
// an empty text when it went as it should, else what went wrong.
#pragma once

#include <string>

namespace zelo::soak {

// A standard accessory stays plugged; each cycle opens it through the
// library's exports, asks its firmware version and closes it.
class OpenCloseCycles {
public:
    OpenCloseCycles();
    std::string run(int cycle);
};

// Each cycle plugs a standard accessory, runs the program's connect
// sequence (open, versions, gate, configuration read, stamp) and lets it
// go again: every other cycle the accessory is pulled while connected and
// the program closes it afterwards, as after a removal notification.
class PlugCycles {
public:
    PlugCycles();
    std::string run(int cycle);
};

}  // namespace zelo::soak
