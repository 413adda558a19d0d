#include "file_replace.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <random>
#include <system_error>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zelo::device {

namespace {

// Names tried before giving up: each is random, so a clash means another
// writer or a leftover, and a few more tries get past it.
constexpr int kNameAttempts = 16;
constexpr int kRandomHexDigits = 16;
constexpr unsigned kNibbleBits = 4;
constexpr unsigned kNibbleMask = 0xF;

std::string randomHex() {
    static std::atomic<std::uint64_t> counter{0};
    static constexpr char kDigits[] = "0123456789abcdef";
    std::uint64_t value = 0;
    try {
        std::random_device device;
        value = (static_cast<std::uint64_t>(device()) << (kNibbleBits * kRandomHexDigits / 2)) ^ device();
    } catch (...) {
        // No entropy source: the clock and the counter still differ per call.
    }
    value ^= static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    value += counter.fetch_add(1) * 0x9E3779B97F4A7C15ULL;
    std::string text;
    for (int i = 0; i < kRandomHexDigits; ++i, value >>= kNibbleBits) text += kDigits[value & kNibbleMask];
    return text;
}

std::filesystem::path newFileName(const std::filesystem::path &path) {
    // Appended piece by piece: GCC 12 warns falsely about a chain of + here.
    std::string name(kNewFileMarker);
    name.append(randomHex()).append(kNewFileSuffix);
    std::filesystem::path fresh = path;
    fresh += name;
    return fresh;
}

#if defined(_WIN32)

class NewFile {
public:
    // CREATE_NEW fails on any existing name, a link included.
    bool create(const std::filesystem::path &name) {
        handle_ = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        return handle_ != INVALID_HANDLE_VALUE;
    }
    bool nameTaken() const { return GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS; }
    bool writeAll(std::string_view bytes) {
        while (!bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), MAXDWORD));
            DWORD written = 0;
            if (!WriteFile(handle_, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
            bytes.remove_prefix(written);
        }
        return true;
    }
    bool flush() { return FlushFileBuffers(handle_) != 0; }
    bool close() {
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }
    ~NewFile() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Write-through: the rename is on the disk when the call returns.
bool flushFolder(const std::filesystem::path &) { return true; }

bool replaceFile(const std::filesystem::path &from, const std::filesystem::path &to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

#else

class NewFile {
public:
    // O_EXCL fails on any existing name, a symbolic link included, so the
    // bytes never go where a link points.
    bool create(const std::filesystem::path &name) {
        descriptor_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        return descriptor_ >= 0;
    }
    bool nameTaken() const { return errno == EEXIST; }
    bool writeAll(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) return false;
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }
    bool flush() { return ::fsync(descriptor_) == 0; }
    bool close() {
        const int closed = ::close(descriptor_);
        descriptor_ = -1;
        return closed == 0;
    }
    ~NewFile() {
        if (descriptor_ >= 0) ::close(descriptor_);
    }

private:
    int descriptor_ = -1;
};

// The rename lasts only once the folder that holds both names is flushed.
bool flushFolder(const std::filesystem::path &folder) {
    const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return false;
    const bool flushed = ::fsync(descriptor) == 0;
    return ::close(descriptor) == 0 && flushed;
}

bool replaceFile(const std::filesystem::path &from, const std::filesystem::path &to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

#endif

}  // namespace

bool writeFileReplacing(const std::filesystem::path &path, std::string_view bytes, std::string *error) {
    std::error_code ignored;
    NewFile file;
    std::filesystem::path fresh;
    bool created = false;
    for (int attempt = 0; attempt < kNameAttempts && !created; ++attempt) {
        fresh = newFileName(path);
        created = file.create(fresh);
        if (!created && !file.nameTaken()) break;
    }
    if (!created) {
        *error = std::string("cannot write '").append(path.string()).append("'");
        return false;
    }
    // Every step counts: a failed flush or close can mean bytes that never
    // reach the disk, and the file would replace a good one with a hole.
    const bool written = file.writeAll(bytes) && file.flush();
    if (!(file.close() && written)) {
        std::filesystem::remove(fresh, ignored);
        *error = std::string("cannot write '").append(path.string()).append("'");
        return false;
    }
    if (!replaceFile(fresh, path)) {
        std::filesystem::remove(fresh, ignored);
        *error = std::string("cannot replace '").append(path.string()).append("'");
        return false;
    }
    if (!flushFolder(path.parent_path())) {
        // Appended rather than concatenated: GCC 12 at -O3 warns falsely
        // (-Wrestrict) about a literal prefixed to a temporary string.
        std::string text = "'";
        text.append(path.string()).append("' was replaced, but the change may not survive a power cut");
        *error = std::move(text);
        return false;
    }
    return true;
}

}  // namespace zelo::device
