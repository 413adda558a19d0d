// Reads and writes on channels opened with FILE_FLAG_OVERLAPPED.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "channel_table.h"
#include "unique_handle.h"
#include "win_api.h"
#include "zelo_backend/hid_backend.h"

namespace zelo::win {

// How long a cancelled request may take to end. A driver that does not end
// it by then still owns the request's memory.
inline constexpr DWORD kCancelLimitMs = 1000;

// Asks the system to end a pending request; CancelIoEx, or a stand-in for
// a driver that ignores it.
using CancelRequest = BOOL(WINAPI *)(HANDLE, LPOVERLAPPED);

// One overlapped read on channel, waiting for its end or the channel's
// cancel event for at most timeoutMs. The system reads into the channel's
// own request, copied to buffer only once it has ended, so a request that
// is given up never writes into buffer later. A request that even its
// cancel does not end within kCancelLimitMs is left to the system with its
// memory and the read fails: the reader and a close never wait longer.
// Data that arrived while cancelling is still reported as Completed.
// The caller holds channel.io.
inline hid::ReadStatus readOverlapped(ChannelState &channel, std::uint8_t *buffer, std::uint32_t capacity,
                                      std::uint32_t timeoutMs, std::uint32_t *transferred,
                                      CancelRequest cancel = CancelIoEx) {
    ReadRequest *request = channel.readRequest(capacity);
    if (request == nullptr) {
        return hid::ReadStatus::Failed;
    }
    if (!ReadFile(channel.handle, request->bytes.data(), capacity, nullptr, &request->overlapped) &&
        GetLastError() != ERROR_IO_PENDING) {
        return hid::ReadStatus::Failed;
    }
    // Finished at once or later, the read event is set; it wins over a
    // cancel that is signalled at the same time, which then ends the next read.
    const HANDLE events[] = {request->done.get(), channel.cancelEvent.get()};
    const DWORD woke = WaitForMultipleObjects(2, events, FALSE, timeoutMs);
    if (woke != WAIT_OBJECT_0) {
        cancel(channel.handle, &request->overlapped);
        if (WaitForSingleObject(request->done.get(), kCancelLimitMs) != WAIT_OBJECT_0) {
            channel.abandonReadRequest();
            return hid::ReadStatus::Failed;
        }
    }
    DWORD count = 0;
    if (GetOverlappedResult(channel.handle, &request->overlapped, &count, FALSE)) {
        std::memcpy(buffer, request->bytes.data(), count);
        *transferred = count;
        return hid::ReadStatus::Completed;
    }
    if (woke == WAIT_OBJECT_0) {
        // Aborted by someone else's cancel, such as a close of the channel.
        return GetLastError() == ERROR_OPERATION_ABORTED ? hid::ReadStatus::Cancelled : hid::ReadStatus::Failed;
    }
    if (woke == WAIT_TIMEOUT) {
        return hid::ReadStatus::TimedOut;
    }
    return woke == WAIT_OBJECT_0 + 1 ? hid::ReadStatus::Cancelled : hid::ReadStatus::Failed;
}

// A write request with the memory the system uses until the request ends:
// the OVERLAPPED, its event and a copy of the bytes.
struct WriteRequest {
    OVERLAPPED overlapped{};
    UniqueHandle done;
    std::vector<std::uint8_t> bytes;
};

inline bool requestEnded(const WriteRequest &request, DWORD limitMs) {
    return WaitForSingleObject(request.done.get(), limitMs) == WAIT_OBJECT_0;
}

// A write on an overlapped channel, waited for at most limitMs. One that
// has not finished by then (an endpoint that takes nothing) is cancelled
// and fails; if even the cancel does not end it, the request's memory is
// left to the system rather than freed under it.
inline bool writeOverlapped(HANDLE handle, const std::uint8_t *data, std::uint32_t length, DWORD limitMs,
                            DWORD *written) {
    auto request = std::make_unique<WriteRequest>();
    request->done = UniqueHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!request->done) {
        return false;
    }
    request->bytes.assign(data, data + length);
    request->overlapped.hEvent = request->done.get();
    if (!WriteFile(handle, request->bytes.data(), length, nullptr, &request->overlapped) &&
        GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    if (!requestEnded(*request, limitMs)) {
        CancelIoEx(handle, &request->overlapped);
        if (!requestEnded(*request, kCancelLimitMs)) {
            static_cast<void>(request.release());
            return false;
        }
    }
    // A write that finished while being cancelled did go out.
    return GetOverlappedResult(handle, &request->overlapped, written, FALSE) != FALSE;
}

}  // namespace zelo::win
