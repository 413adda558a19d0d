// The server end of a named pipe that a test opens through the backend as
// if it were a device path: the channel machinery works on any file handle.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace zelo::test {

class TestPipe {
public:
    TestPipe() : name_(uniqueName()) {
        server_ = CreateNamedPipeA(name_.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                                   1, kBufferSize, kBufferSize, 0, nullptr);
    }
    ~TestPipe() {
        if (server_ != INVALID_HANDLE_VALUE) {
            CloseHandle(server_);
        }
    }
    TestPipe(const TestPipe &) = delete;
    TestPipe &operator=(const TestPipe &) = delete;

    bool valid() const { return server_ != INVALID_HANDLE_VALUE; }
    const char *path() const { return name_.c_str(); }

    // Sends bytes to the client; the pipe buffers them, so this never blocks.
    bool send(const std::vector<std::uint8_t> &bytes) {
        DWORD written = 0;
        return WriteFile(server_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size();
    }

    // Takes exactly n bytes the client wrote; empty on failure.
    std::vector<std::uint8_t> receive(std::size_t n) {
        std::vector<std::uint8_t> bytes(n);
        std::size_t got = 0;
        while (got < n) {
            DWORD count = 0;
            if (!ReadFile(server_, bytes.data() + got, static_cast<DWORD>(n - got), &count, nullptr) || count == 0) {
                return {};
            }
            got += count;
        }
        return bytes;
    }

private:
    static constexpr DWORD kBufferSize = 4096;

    static std::string uniqueName() {
        static std::atomic<int> counter{0};
        return "\\\\.\\pipe\\zelo-backend-test-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(counter++);
    }

    std::string name_;
    HANDLE server_ = INVALID_HANDLE_VALUE;
};

}  // namespace zelo::test
