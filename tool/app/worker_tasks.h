// Worker tasks: the long device operations that run outside the
// user-interface thread, each in a short-lived thread that enters one
// routine with its task code, and the window messages they report with.
// The task bodies here are free of windows; they report through
// TaskReports, which the window layer turns into messages.
#ifndef ZELO_APP_WORKER_TASKS_H
#define ZELO_APP_WORKER_TASKS_H

#include <array>
#include <atomic>
#include <cstdint>

#include "device_link.h"
#include "progress.h"
#include "waits.h"

namespace zelo::app {

enum WorkerTask : int {
    CountDevices = 1,
    Connect = 2,
    ModuleOperation = 3,
    ModuleProgress = 4,
    SaveConfiguration = 5,
    // 6 performs nothing.
    PollIrStatus = 7,
    PairRequest = 8,
    TransmitIr = 9,
};

// Window messages to the main window, all above WM_USER.
inline constexpr unsigned kUserMessageBase = 0x0400;
inline constexpr unsigned UM_DEVICES_COUNTED = kUserMessageBase + 1;
inline constexpr unsigned UM_CONNECT_RESULT = kUserMessageBase + 4;
inline constexpr unsigned UM_SAVE_RESULT = kUserMessageBase + 5;
inline constexpr unsigned UM_IR_STATUS = kUserMessageBase + 7;
inline constexpr unsigned UM_PROGRESS = kUserMessageBase + 12;
static_assert(UM_DEVICES_COUNTED == 1025 && UM_PROGRESS == 1036);

// Connect results; any other value is the library's code of a failed open.
enum ConnectResult : int {
    CONNECT_OK = 0,
    CONNECT_UNSUPPORTED = 2,
    CONNECT_UPDATE_FAILED = 3,
    CONNECT_DECLINED = 4,
};

inline constexpr unsigned kIrPollIntervalMs = 250;
inline constexpr std::uint16_t kPairingValue = 10000;  // what the accessory is asked to pair with
inline constexpr std::size_t kIrTransmitFrameSize = 4;  // of the 5-byte request, the part that is sent

using IrStatusRecord = std::array<std::uint8_t, device::kIrStatusSize>;

// Where the tasks' results go. Every call may come from a worker thread.
class TaskReports {
public:
    virtual ~TaskReports() = default;
    virtual void devicesCounted() = 0;
    virtual void connectResult(int result) = 0;
    virtual void saveResult(int result) = 0;
    // The report takes the record; it must stay readable until the
    // user-interface thread has shown it.
    virtual void irStatus(const IrStatusRecord &record) = 0;
    virtual device::ProgressSink &progress() = 0;
};

// Task bodies. A null link means the device link is gone: the task does
// nothing (or reports the result the task table gives for that case).
void countDevices(std::atomic<std::uint32_t> &count, TaskReports &reports);
int saveConfiguration(device::CDeviceLink *link, TaskReports &reports);
int pairRequest(device::CDeviceLink *link);
int transmitIr(device::CDeviceLink *link, const std::array<std::uint8_t, kIrTransmitFrameSize> &frame);
// Runs while running is set; sleeps through waits between reads, so a
// cleared flag ends the loop after the current pause.
void pollIrStatus(device::CDeviceLink *(*link)(), const std::atomic<bool> &running, TaskReports &reports,
                  device::Waits &waits);

}  // namespace zelo::app

#endif
