// The reader thread that moves input reports into the data FIFO.
#pragma once

#include "device.h"

namespace zelo {

// Starts the reader unless one is already running. A reader that ended by
// itself (malformed transfer) is collected and replaced.
void startReader(Device &device);

#if defined(__EMSCRIPTEN__)
// The browser has no reader thread: a caller waiting for bytes runs one
// read of at most timeoutMs into the data FIFO. False when no read can
// happen (reader stopped, channel closed), so the caller stops waiting.
bool readWhileWaiting(Device &device, std::uint32_t timeoutMs);
#endif

// Asks the reader to stop, wakes a pending read and waits for the thread
// to leave, so no read is pending and no FIFO lock is held afterwards.
void stopReader(Device &device);

// Stops the reader, then closes both channels and sets them to null; the
// device's handle no longer resolves afterwards.
void closeDevice(Device &device);

}  // namespace zelo
