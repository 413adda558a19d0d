// Starting worker threads: every worker enters one routine with its task
// code and reports to the main window with messages (SendMessageW for
// results, SendNotifyMessageW for progress and IR status).
#ifndef ZELO_APP_WORKERS_WIN_H
#define ZELO_APP_WORKERS_WIN_H

#include <windows.h>

#include <cstdint>

#include "ir_transmit_queue.h"
#include "worker_tasks.h"

namespace zelo::app {

// Creates the thread (default stack and security, started at once) and
// lets go of its handle. False when no thread could be created.
bool startWorker(WorkerTask task);

// The thread routine itself: the parameter is the task code.
DWORD WINAPI workerEntry(LPVOID task);

// At the end of the program, before the device link goes: true when no
// worker runs any more, waiting a bounded time for those that still do
// (the IR poll ends within one pause once its flag is cleared).
bool waitForWorkers();
// The same while the program runs, on the user-interface thread: results
// that workers send meanwhile are handled, so no worker is left waiting
// for the thread that waits for it. A Connect worker no longer counts once
// its sequence has ended, so the handler of its result may wait here.
bool waitForWorkersHandlingReports();

// UM_PROGRESS to the main window, from whichever thread reports.
device::ProgressSink &windowProgress();

// The IR page's request: queued before its thread starts (IrTransmitQueue).
bool startTransmitIr(const IrTransmitRequest &request);

// On: set the poll flag and start a PollIrStatus thread. Off: clear the
// flag; the running poll ends after its current pause.
void setIrPoll(bool on);

// The parts of worker tasks that later parts of the program supply: the
// connect sequence for Connect, and the module page's operation and its
// progress display for ModuleOperation and ModuleProgress. Until one is
// supplied its task only ends.
using ConnectRoutine = int (*)(device::CDeviceLink &link, std::uint8_t deviceNumber);
using ModuleRoutine = void (*)();
void setConnectRoutine(ConnectRoutine routine);
void setModuleRoutines(ModuleRoutine operation, ModuleRoutine progress);

// UM_IR_STATUS carries a record the receiver owns and deletes.
const IrStatusRecord *irStatusRecord(WPARAM wParam);

}  // namespace zelo::app

#endif
