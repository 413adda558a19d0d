/* The stage's C client of zelo.h: the library's exports against the
 * accessory the guest presents, run under Wine through winebus. Prints what
 * each step found; exits 0 only when every step worked.
 *   zelo-stack-client          the exports, the tunnel and cFlashUpgrade
 *   zelo-stack-client notify   device notifications to a window */
#include <stdio.h>
#include <string.h>

#include "client.h"

enum {
    kLoaderVersionCommand = 0x05, /* answered with the four-character loader version */
    kVersionTextLength = 4,
    kLastIrCommandByte = 3, /* of the IR status */
    kIrStatusRead = 1       /* ZELO_GetIRStatus's answer when the status was read */
};

int clientFail(const char *step, int32_t status) {
    fprintf(stderr, "client: %s failed (status %d)\n", step, (int)status);
    return 1;
}

static int exchange(ZELO_HANDLE handle) {
    const uint8_t command = kLoaderVersionCommand;
    char loader[kVersionTextLength + 1] = {0};
    uint32_t written = 0;
    uint32_t read = 0;
    int32_t status = ZELO_Write(handle, &command, 1, &written);
    if (status != ZELO_OK) return clientFail("the loader version command", status);
    status = ZELO_Read(handle, (uint8_t *)loader, kVersionTextLength, &read);
    if (status != ZELO_OK || read != kVersionTextLength) return clientFail("the loader version answer", status);
    printf("loader %s\n", loader);
    return 0;
}

static int irStatus(ZELO_HANDLE handle) {
    uint8_t status[ZELO_IR_STATUS_SIZE] = {0};
    const int32_t result = ZELO_GetIRStatus(handle, status);
    if (result != kIrStatusRead) return clientFail("the IR status", result);
    printf("ir %02X\n", status[kLastIrCommandByte]);
    return 0;
}

int main(int argc, char **argv) {
    const int notify = argc > 1 && strcmp(argv[1], "notify") == 0;
    int32_t count = 0;
    int32_t status = ZELO_GetNumDevices(&count);
    printf("count %d\n", (int)count);
    if (count < 1) return clientFail("counting", status);
    ZELO_HANDLE handle = NULL;
    char path[ZELO_DEVICE_PATH_SIZE + 1] = {0}; /* a full path comes without its zero */
    status = ZELO_OpenDeviceFromNum(0, &handle, path);
    if (status != ZELO_OK) return clientFail("opening accessory 0", status);
    printf("path %s\n", path);
    printf("firmware %d\n", (int)ZELO_GetFirmwareVersion(handle));
    fflush(stdout);
    const int failed = notify ? clientNotifications(&handle, path)
                              : exchange(handle) || irStatus(handle) || clientTunnel(handle) ||
                                    clientFlashUpgrade(handle);
    status = ZELO_CloseDevice(handle);
    if (status != ZELO_OK) return clientFail("closing", status);
    return failed;
}
