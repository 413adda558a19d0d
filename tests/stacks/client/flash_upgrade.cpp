// cFlashUpgrade from a program: the module pages checked, brought up to
// date and checked again.
#include <cstdio>

#include "client.h"

namespace {

const char *pagesText(int check) { return check == 0 ? "match" : "differ"; }

}  // namespace

extern "C" int clientFlashUpgrade(ZELO_HANDLE handle) {
    char *device = cFlashUpgrade::Designate(handle);
    if (device == nullptr) return clientFail("designating the accessory", 0);
    cFlashUpgrade upgrade;
    std::printf("module pages before %s\n", pagesText(upgrade.CheckFirmwareCRC(device)));
    const int result = upgrade.Upgrade(device);
    std::printf("upgrade %d\n", result);
    std::printf("module pages after %s\n", pagesText(upgrade.CheckFirmwareCRC(device)));
    std::printf("firmware after %d\n", static_cast<int>(ZELO_GetFirmwareVersion(handle)));
    return result == 0 ? 0 : clientFail("the upgrade", result);
}
