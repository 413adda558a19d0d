// Reads and writes on channels opened with FILE_FLAG_OVERLAPPED.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "channel_table.h"
#include "unique_handle.h"
#include "win_api.h"
#include "zelo_backend/hid_backend.h"

namespace zelo::win {

// One overlapped read on channel, waiting for its end or the channel's
// cancel event for at most timeoutMs. A request that is given up is
// cancelled and waited for, so nothing writes into buffer after the return;
// data that arrived while cancelling is still reported as Completed.
// The caller holds channel.io.
inline hid::ReadStatus readOverlapped(ChannelState &channel, std::uint8_t *buffer, std::uint32_t capacity,
                                      std::uint32_t timeoutMs, std::uint32_t *transferred) {
    OVERLAPPED request{};
    request.hEvent = channel.readEvent.get();
    if (!ReadFile(channel.handle, buffer, capacity, nullptr, &request) && GetLastError() != ERROR_IO_PENDING) {
        return hid::ReadStatus::Failed;
    }
    // Finished at once or later, the read event is set; it wins over a
    // cancel that is signalled at the same time, which then ends the next read.
    const HANDLE events[] = {channel.readEvent.get(), channel.cancelEvent.get()};
    const DWORD woke = WaitForMultipleObjects(2, events, FALSE, timeoutMs);
    DWORD count = 0;
    if (woke == WAIT_OBJECT_0) {
        if (GetOverlappedResult(channel.handle, &request, &count, FALSE)) {
            *transferred = count;
            return hid::ReadStatus::Completed;
        }
        // Aborted by someone else's cancel, such as a close of the channel.
        return GetLastError() == ERROR_OPERATION_ABORTED ? hid::ReadStatus::Cancelled : hid::ReadStatus::Failed;
    }
    CancelIoEx(channel.handle, &request);
    if (GetOverlappedResult(channel.handle, &request, &count, TRUE)) {
        *transferred = count;
        return hid::ReadStatus::Completed;
    }
    if (woke == WAIT_TIMEOUT) {
        return hid::ReadStatus::TimedOut;
    }
    return woke == WAIT_OBJECT_0 + 1 ? hid::ReadStatus::Cancelled : hid::ReadStatus::Failed;
}

// How long a cancelled request may take to end. A driver that does not end
// it by then still owns the request's memory.
inline constexpr DWORD kCancelLimitMs = 1000;

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
