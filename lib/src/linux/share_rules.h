// Access and sharing of opens, as the Windows HID driver enforces them:
// the library counts only accessories it can open for both reading and
// writing, and an accessory it holds open must refuse that probe. hidraw
// lets anyone open a node any number of times, so the backend keeps the
// rules itself among the channels of this process.
#pragma once

#include <vector>

#include "zelo_backend/hid_backend.h"

namespace zelo::hid::linux_backend {

// Whether an open with mode may join the opens already held on a node.
inline bool shareAllows(const std::vector<OpenMode> &held, const OpenMode &mode) {
    for (const OpenMode &other : held) {
        const bool newFits = (!mode.read || other.shareRead) && (!mode.write || other.shareWrite);
        const bool heldFits = (!other.read || mode.shareRead) && (!other.write || mode.shareWrite);
        if (!newFits || !heldFits) {
            return false;
        }
    }
    return true;
}

}  // namespace zelo::hid::linux_backend
