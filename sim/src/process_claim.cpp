#include "process_claim.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace zelo::sim {

#if defined(_WIN32)
bool ProcessClaim::take(const std::string &stateFile, bool exclusive) {
    release();
    HANDLE file = CreateFileA(fileFor(stateFile).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return true;  // nowhere to claim: as a process of its own
    OVERLAPPED at{};
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (!LockFileEx(file, flags, 0, 1, 0, &at)) {
        CloseHandle(file);
        return false;
    }
    handle_ = file;
    return true;
}

void ProcessClaim::release() {
    if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));  // ends the lock
    handle_ = nullptr;
}
#else
bool ProcessClaim::take(const std::string &stateFile, bool exclusive) {
    release();
    constexpr mode_t kLockFileMode = 0644;
    const int fd = ::open(fileFor(stateFile).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kLockFileMode);
    if (fd < 0) return true;  // nowhere to claim: as a process of its own
    if (flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void ProcessClaim::release() {
    if (fd_ >= 0) ::close(fd_);  // ends the lock
    fd_ = -1;
}
#endif

}  // namespace zelo::sim
