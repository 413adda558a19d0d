// The C++ half of the test client: every public member of cFlashUpgrade a
// program can call, so the link shows the library exports them under the
// names this compiler gives them.
#include "zelo.h"

extern "C" int zelo_client_class(ZELO_HANDLE handle) {
    cFlashUpgrade upgrade;
    cFlashUpgrade copy;
    copy = upgrade;
    char *device = cFlashUpgrade::Designate(handle);
    if (device == nullptr) return -1;
    return copy.CheckFirmwareCRC(device) != 0 ? copy.Upgrade(device) : 0;
}
