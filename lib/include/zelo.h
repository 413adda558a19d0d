/* Public interface of the ZELO device library.
 *
 * Usable from C and C++. Every buffer crosses the boundary owned by the
 * caller, with its length; the device handle is the library's and is
 * pointer-sized. */
#ifndef ZELO_H
#define ZELO_H

#include <stdint.h>

#if defined(_WIN32)
#  if defined(ZELO_BUILDING_LIBRARY)
#    define ZELO_API __declspec(dllexport)
#  else
#    define ZELO_API __declspec(dllimport)
#  endif
#  define ZELO_CALL
#else
#  define ZELO_API __attribute__((visibility("default")))
#  define ZELO_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opaque device handle: the operating-system handle of the write channel. */
typedef void *ZELO_HANDLE;

/* Status codes shared by most exports. */
#define ZELO_OK 0
#define ZELO_HANDLE_NOT_FOUND 1
#define ZELO_TRANSFER_FAILED 1
#define ZELO_OUT_OF_RANGE 6
#define ZELO_NO_SUCH_DEVICE 255

/* Length of the device-path buffer filled by ZELO_OpenDeviceFromNum. */
#define ZELO_DEVICE_PATH_SIZE 255

/* Number of IR status bytes returned by ZELO_GetIRStatus. */
#define ZELO_IR_STATUS_SIZE 9

ZELO_API int32_t ZELO_CALL ZELO_GetSDKVersion(void);
ZELO_API int32_t ZELO_CALL ZELO_GetNumDevices(int32_t *count);
ZELO_API int32_t ZELO_CALL ZELO_OpenDeviceFromNum(int32_t number, ZELO_HANDLE *handle, char *path);
ZELO_API int32_t ZELO_CALL ZELO_CloseDevice(ZELO_HANDLE handle);
ZELO_API int32_t ZELO_CALL ZELO_RequestNotification(void *window);
/* notification points at a device-interface broadcast record
 * (DEV_BROADCAST_DEVICEINTERFACE_A or _W on Windows, as an ANSI or a
 * Unicode window receives it); its size field bounds every read. name
 * receives the interface path as 8-bit text. */
ZELO_API int32_t ZELO_CALL ZELO_GetDeviceInfo(ZELO_HANDLE handle, const void *notification, char *name,
                                              int32_t nameSize);

ZELO_API int32_t ZELO_CALL ZELO_StartHID(ZELO_HANDLE handle);
ZELO_API intptr_t ZELO_CALL ZELO_StopHID(ZELO_HANDLE handle);
ZELO_API int32_t ZELO_CALL ZELO_Write(ZELO_HANDLE handle, const uint8_t *data, uint32_t length, uint32_t *written);
ZELO_API int32_t ZELO_CALL ZELO_Read(ZELO_HANDLE handle, uint8_t *buffer, uint32_t length, uint32_t *read);
ZELO_API int32_t ZELO_CALL ZELO_BytesInFifo(ZELO_HANDLE handle);
ZELO_API int32_t ZELO_CALL ZELO_EmptyFifo(ZELO_HANDLE handle);

ZELO_API int32_t ZELO_CALL ZELO_UART_Enable(ZELO_HANDLE handle, uint32_t baudRate, uint32_t *baudOut,
                                            uint8_t stopBitFlag, uint8_t parity, uint8_t dataBits,
                                            uint32_t reserved1, uint32_t reserved2, uint8_t reserved3);
ZELO_API int32_t ZELO_CALL ZELO_UART_Disable(ZELO_HANDLE handle);
ZELO_API int32_t ZELO_CALL ZELO_UART_SetRST(ZELO_HANDLE handle, int32_t state);
ZELO_API int32_t ZELO_CALL ZELO_UART_Write(ZELO_HANDLE handle, const uint8_t *data, uint32_t length,
                                           uint32_t *written);
ZELO_API int32_t ZELO_CALL ZELO_UART_Read(ZELO_HANDLE handle, uint8_t *buffer, uint32_t length, uint32_t *read);
ZELO_API int32_t ZELO_CALL ZELO_UART_BytesInFifo(ZELO_HANDLE handle);
ZELO_API int32_t ZELO_CALL ZELO_UART_EmptyFifo(ZELO_HANDLE handle);

ZELO_API int32_t ZELO_CALL ZELO_GetIRStatus(ZELO_HANDLE handle, uint8_t *status);
ZELO_API int32_t ZELO_CALL ZELO_SetLEDState(ZELO_HANDLE handle, uint32_t value1, uint32_t value2, uint32_t value3,
                                            uint8_t byte1, uint8_t byte2, uint8_t byte3);
ZELO_API int32_t ZELO_CALL ZELO_GetFirmwareVersion(ZELO_HANDLE handle);

#ifdef __cplusplus
} /* extern "C" */

/* Brings flash pages 20 to 22 of an open accessory up to date from the
 * module image carried by the library. */
class ZELO_API cFlashUpgrade {
public:
    static const int StartPage = 20;
    static const int PageSize = 512;

    cFlashUpgrade();
    ~cFlashUpgrade();
    cFlashUpgrade &operator=(const cFlashUpgrade &other);

    /* device designates the library's device object of an open accessory;
     * obtain it with Designate(). 0 = current, -1 = CRC read failed,
     * -2 = page write failed. */
    int Upgrade(char *device);
    /* 0 = all three pages match the module image, 1 = at least one differs. */
    int CheckFirmwareCRC(char *device);

    /* The device designation for a handle from ZELO_OpenDeviceFromNum,
     * or null when the handle does not resolve. */
    static char *Designate(ZELO_HANDLE handle);

private:
    unsigned short CalculatePageCRC(const unsigned char *data, unsigned int length);
};
#endif /* __cplusplus */

#endif /* ZELO_H */
