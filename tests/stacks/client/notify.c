/* ZELO_RequestNotification with a real window: its message loop receives
 * WM_DEVICECHANGE when the accessory goes and when it comes back, and
 * ZELO_GetDeviceInfo names the accessory in each. Prints "waiting for ..."
 * when the scenario should pull or plug the accessory. */
#include <windows.h>

#include <dbt.h>
#include <stdio.h>

#include "client.h"

enum {
    kDeadlineMs = 180000, /* for each of removal and arrival */
    kDeadlineTimer = 1,
    kIsAccessory = 1 /* ZELO_GetDeviceInfo's answer for the accessory */
};

static struct {
    ZELO_HANDLE handle;
    char path[ZELO_DEVICE_PATH_SIZE + 1];
    WPARAM awaited; /* DBT_DEVICEREMOVECOMPLETE, then DBT_DEVICEARRIVAL */
    int failed;
} state;

static void await(HWND window, WPARAM event) {
    state.awaited = event;
    printf("waiting for %s\n", event == DBT_DEVICEARRIVAL ? "arrival" : "removal");
    fflush(stdout);
    SetTimer(window, kDeadlineTimer, kDeadlineMs, NULL);
}

static void finish(int failed) {
    state.failed = failed;
    PostQuitMessage(0);
}

/* The accessory came back: it opens again under the name the window was given. */
static int reopened(const char *name) {
    ZELO_HANDLE handle = NULL;
    const int32_t status = ZELO_OpenDeviceFromNum(0, &handle, state.path);
    if (status != ZELO_OK) return clientFail("opening the accessory after its arrival", status);
    ZELO_CloseDevice(state.handle);
    state.handle = handle;
    printf("reopened %s\n", state.path);
    return lstrcmpiA(name, state.path) == 0 ? 0 : clientFail("matching the arrival to the reopened accessory", 0);
}

static void deviceChanged(HWND window, WPARAM event, const void *broadcast) {
    char name[ZELO_DEVICE_PATH_SIZE + 1] = {0};
    const int32_t info = ZELO_GetDeviceInfo(state.handle, broadcast, name, sizeof name);
    const char *what = event == DBT_DEVICEARRIVAL ? "arrival" : "removal";
    printf("%s info %d name %s\n", what, (int)info, name);
    fflush(stdout);
    if (info != kIsAccessory || event != state.awaited) return; /* another device, or not yet */
    if (event == DBT_DEVICEREMOVECOMPLETE) {
        if (lstrcmpiA(name, state.path) != 0) {
            finish(clientFail("matching the removal to the open accessory", 0));
            return;
        }
        printf("removal matches\n");
        await(window, DBT_DEVICEARRIVAL);
        return;
    }
    const int failed = reopened(name);
    if (!failed) printf("arrival matches\n");
    finish(failed);
}

static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE && (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE)) {
        deviceChanged(window, wParam, (const void *)lParam);
        return TRUE;
    }
    if (message == WM_TIMER && wParam == kDeadlineTimer) {
        finish(clientFail(state.awaited == DBT_DEVICEARRIVAL ? "an arrival notification in time"
                                                             : "a removal notification in time",
                          0));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int clientNotifications(ZELO_HANDLE *handle, const char *path) {
    static const char kClassName[] = "zelo-stack-client";
    WNDCLASSA windowClass = {0};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) return clientFail("registering the window class", (int32_t)GetLastError());
    HWND window = CreateWindowA(kClassName, "zelo-stack-client", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, windowClass.hInstance, NULL);
    if (window == NULL) return clientFail("creating the window", (int32_t)GetLastError());
    state.handle = *handle;
    lstrcpynA(state.path, path, sizeof state.path);
    const int32_t status = ZELO_RequestNotification(window);
    if (status != ZELO_OK) return clientFail("requesting notifications", status);
    await(window, DBT_DEVICEREMOVECOMPLETE);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyWindow(window);
    *handle = state.handle;
    return state.failed;
}
