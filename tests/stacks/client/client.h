/* The stage's C client of zelo.h: its steps, each printing what it found
 * and returning 0 when it worked. */
#ifndef ZELO_STACK_CLIENT_H
#define ZELO_STACK_CLIENT_H

#include <stdint.h>

#include "zelo.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Names the step that failed and its status; returns 1. */
int clientFail(const char *step, int32_t status);

/* Bytes through the serial tunnel to the Bluetooth module's boot loader
 * and its answer back. */
int clientTunnel(ZELO_HANDLE handle);

/* The module pages brought up to date through cFlashUpgrade. */
int clientFlashUpgrade(ZELO_HANDLE handle);

/* A window told of the accessory's removal and arrival; path is the one
 * the accessory was opened under. *handle becomes the accessory opened
 * again after its arrival. */
int clientNotifications(ZELO_HANDLE *handle, const char *path);

#ifdef __cplusplus
}
#endif

#endif
