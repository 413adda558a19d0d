/* The serial tunnel: a pulse on the module's reset line (an accessory
 * command, sent raw) starts the Bluetooth module's boot loader, which
 * answers its synchronisation byte through the tunnel. */
#include <stdio.h>

#include "client.h"

enum {
    kBaudRate = 38400,
    kOneStopBit = 0,
    kNoParity = 0,
    kDataBits = 8,
    kModuleResetCommand = 0x12, /* its payload byte is the reset line's level */
    kResetLow = 0,
    kResetHigh = 1,
    kSyncAnswerLength = 2
};

static const uint8_t kSyncRequest = 'U';

static int32_t moduleResetLine(ZELO_HANDLE handle, uint8_t level) {
    const uint8_t command[] = {kModuleResetCommand, level};
    uint32_t written = 0;
    return ZELO_Write(handle, command, sizeof command, &written);
}

int clientTunnel(ZELO_HANDLE handle) {
    uint32_t baud = 0;
    int32_t status = ZELO_UART_Enable(handle, kBaudRate, &baud, kOneStopBit, kNoParity, kDataBits, 0, 0, 0);
    if (status != ZELO_OK || baud != kBaudRate) return clientFail("enabling the serial port", status);
    status = moduleResetLine(handle, kResetLow);
    if (status == ZELO_OK) status = moduleResetLine(handle, kResetHigh);
    if (status != ZELO_OK) return clientFail("the module's reset pulse", status);
    uint32_t written = 0;
    status = ZELO_UART_Write(handle, &kSyncRequest, 1, &written);
    if (status != ZELO_OK || written != 1) return clientFail("sending the synchronisation byte", status);
    char answer[kSyncAnswerLength + 1] = {0};
    uint32_t read = 0;
    status = ZELO_UART_Read(handle, (uint8_t *)answer, kSyncAnswerLength, &read);
    if (status != ZELO_OK || read != kSyncAnswerLength) return clientFail("the module's answer", status);
    printf("module answered %s\n", answer);
    status = ZELO_UART_Disable(handle);
    if (status != ZELO_OK) return clientFail("disabling the serial port", status);
    return 0;
}
