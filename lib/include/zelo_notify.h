/* Device arrival and removal outside Windows.
 *
 * Windows tells a window of HID interfaces coming and going with
 * WM_DEVICECHANGE; there, ZELO_RequestNotification takes the window's
 * handle. Other systems have no such windows, so there the same export
 * takes a pointer to a ZELO_NOTIFY_TARGET instead. Its callback runs on a
 * thread of the library's, once for each HID interface that arrives
 * (arrived = 1) or goes (arrived = 0), with the interface path as the
 * library's enumeration reports it. On Linux only the accessory's own
 * interfaces (hidraw nodes with its vendor and product ID) are reported:
 * a removed node can no longer be told apart, so the library filters
 * while it still can. A target registered twice is called once. The
 * target must stay valid while the library is loaded; a callback must
 * return promptly. The path is the library's and valid only until the
 * callback returns: a caller that keeps it copies it. */
#ifndef ZELO_NOTIFY_H
#define ZELO_NOTIFY_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ZELO_NOTIFY_TARGET {
    void (*callback)(void *context, int32_t arrived, const char *path);
    void *context;
} ZELO_NOTIFY_TARGET;

#ifdef __cplusplus
}
#endif

#endif /* ZELO_NOTIFY_H */
