#include "workers_win.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

#include "app_state.h"

namespace zelo::app {

namespace {

constexpr ULONGLONG kWorkerDrainLimitMs = 5000;
constexpr DWORD kWorkerDrainPollMs = 10;

std::atomic<int> g_activeWorkers{0};
std::atomic<ConnectRoutine> g_connectRoutine{nullptr};
std::atomic<ModuleRoutine> g_moduleOperation{nullptr};
std::atomic<ModuleRoutine> g_moduleProgress{nullptr};

// At most one poll thread: leaving the IR tab and coming back within one
// pause finds the old poll still running, which then simply carries on.
std::mutex g_pollLock;
int g_pollThreads = 0;

class WindowProgress final : public device::ProgressSink {
public:
    void progress(int percent) override {
        SendNotifyMessageW(mainWindow(), UM_PROGRESS, static_cast<WPARAM>(percent), 0);
    }
};

// Results wait until the main window has handled them, so a worker's
// results arrive in order and its data stays valid meanwhile.
class WindowReports final : public TaskReports {
public:
    void devicesCounted() override { SendMessageW(mainWindow(), UM_DEVICES_COUNTED, 0, 0); }
    void connectResult(int result) override {
        SendMessageW(mainWindow(), UM_CONNECT_RESULT, static_cast<WPARAM>(result), 0);
    }
    void saveResult(int result) override {
        SendMessageW(mainWindow(), UM_SAVE_RESULT, static_cast<WPARAM>(result), 0);
    }
    // The poll does not wait for the main window, so every status travels
    // in its own record, which the main window deletes.
    void irStatus(const IrStatusRecord &record) override {
        auto copy = std::make_unique<IrStatusRecord>(record);
        if (SendNotifyMessageW(mainWindow(), UM_IR_STATUS, reinterpret_cast<WPARAM>(copy.get()), 0)) copy.release();
    }
    device::ProgressSink &progress() override { return progress_; }

private:
    WindowProgress progress_;
};

// The result, or nullopt when no connect routine has been supplied.
std::optional<int> runConnect() {
    device::CDeviceLink *link = deviceLink();
    if (link == nullptr) return CONNECT_OK;
    if (const ConnectRoutine routine = g_connectRoutine.load()) {
        return routine(*link, processState().deviceNumberToConnect);
    }
    return std::nullopt;
}

void runModuleRoutine(const std::atomic<ModuleRoutine> &routine) {
    if (const ModuleRoutine run = routine.load()) run();
}

void runPoll(WindowReports &reports) {
    for (;;) {
        pollIrStatus(deviceLink, processState().irPollRunning, reports, device::realWaits());
        const std::lock_guard<std::mutex> lock(g_pollLock);
        if (!processState().irPollRunning.load()) {
            --g_pollThreads;
            return;
        }
    }
}

void sendNextTransmit() {
    irTransmitQueue().sendNext([](const IrTransmitFrame &frame) { transmitIr(deviceLink(), frame); });
}

// Answers the connect result still to be reported, for the Connect task.
std::optional<int> runTask(WorkerTask task, WindowReports &reports) {
    switch (task) {
    case CountDevices:
        countDevices(processState().deviceCount, reports);
        break;
    case Connect:
        return runConnect();
    case ModuleOperation:
        runModuleRoutine(g_moduleOperation);
        break;
    case ModuleProgress:
        runModuleRoutine(g_moduleProgress);
        break;
    case SaveConfiguration:
        saveConfiguration(deviceLink(), reports);
        break;
    case PollIrStatus:
        runPoll(reports);
        break;
    case PairRequest:
        pairRequest(deviceLink());
        break;
    case TransmitIr:
        sendNextTransmit();
        break;
    }
    return std::nullopt;
}

}  // namespace

DWORD WINAPI workerEntry(LPVOID task) {
    WindowReports reports;
    const std::optional<int> connectResult = runTask(static_cast<WorkerTask>(reinterpret_cast<INT_PTR>(task)), reports);
    // The connect sequence is done with the device link; its result handler
    // may discard the link once the other workers are done with it.
    --g_activeWorkers;
    if (connectResult) reports.connectResult(*connectResult);
    return 0;
}

bool startWorker(WorkerTask task) {
    ++g_activeWorkers;
    const HANDLE thread =
        CreateThread(nullptr, 0, workerEntry, reinterpret_cast<LPVOID>(static_cast<INT_PTR>(task)), 0, nullptr);
    if (thread == nullptr) {
        --g_activeWorkers;
        return false;
    }
    CloseHandle(thread);
    return true;
}

bool waitForWorkers() {
    const ULONGLONG deadline = GetTickCount64() + kWorkerDrainLimitMs;
    while (g_activeWorkers.load() > 0) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(kWorkerDrainPollMs);
    }
    return true;
}

bool waitForWorkersHandlingReports() {
    const ULONGLONG deadline = GetTickCount64() + kWorkerDrainLimitMs;
    while (g_activeWorkers.load() > 0) {
        if (GetTickCount64() >= deadline) return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, kWorkerDrainPollMs, QS_SENDMESSAGE, 0);
        // Handles messages sent from other threads and nothing else.
        MSG message{};
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return true;
}

device::ProgressSink &windowProgress() {
    static WindowProgress progress;
    return progress;
}

bool startTransmitIr(const IrTransmitRequest &request) {
    processState().irTransmitRequest = request;
    irTransmitQueue().push(request);
    if (startWorker(TransmitIr)) return true;
    // No thread will take it: send it from here rather than let a later
    // request's thread send this one in its place.
    sendNextTransmit();
    return false;
}

void setIrPoll(bool on) {
    const std::lock_guard<std::mutex> lock(g_pollLock);
    processState().irPollRunning = on;
    if (!on || g_pollThreads > 0) return;
    ++g_pollThreads;
    if (!startWorker(PollIrStatus)) --g_pollThreads;
}

void setConnectRoutine(ConnectRoutine routine) { g_connectRoutine = routine; }

void setModuleRoutines(ModuleRoutine operation, ModuleRoutine progress) {
    g_moduleOperation = operation;
    g_moduleProgress = progress;
}

const IrStatusRecord *irStatusRecord(WPARAM wParam) { return reinterpret_cast<const IrStatusRecord *>(wParam); }

}  // namespace zelo::app
