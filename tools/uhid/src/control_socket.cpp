#include "control_socket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zelo::uhid {

namespace {

constexpr int kBacklog = 8;
constexpr std::size_t kMaxLine = 4096;
constexpr std::size_t kChunk = 512;

bool addressOf(const std::string &path, sockaddr_un *address, std::string *error) {
    *address = {};
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof address->sun_path) {
        *error = "socket path too long: " + path;
        return false;
    }
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool writeAll(int fd, const std::string &text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Everything up to the first newline (or the end, or kMaxLine bytes).
std::string readLine(int fd) {
    std::string text;
    char chunk[kChunk];
    while (text.size() < kMaxLine && text.find('\n') == std::string::npos) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(chunk, static_cast<std::size_t>(n));
    }
    return text.substr(0, text.find('\n'));
}

std::string readAll(int fd) {
    std::string text;
    char chunk[kChunk];
    while (true) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return text;
        text.append(chunk, static_cast<std::size_t>(n));
    }
}

}  // namespace

int listenAt(const std::string &path, std::string *error) {
    sockaddr_un address;
    if (!addressOf(path, &address, error)) return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ::unlink(path.c_str());
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(fd, kBacklog) != 0) {
        *error = "cannot listen at " + path + ": " + std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return -1;
    }
    return fd;
}

void serveOne(int listener, const std::function<std::string(const std::string &)> &reply) {
    const int connection = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) return;
    writeAll(connection, reply(readLine(connection)) + "\n");
    ::close(connection);
}

bool sendCommand(const std::string &path, const std::string &command, std::string *reply) {
    sockaddr_un address;
    if (!addressOf(path, &address, reply)) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        *reply = "cannot reach " + path + ": " + std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return false;
    }
    const bool sent = writeAll(fd, command + "\n") && ::shutdown(fd, SHUT_WR) == 0;
    *reply = sent ? readAll(fd) : std::string("cannot send to ") + path;
    ::close(fd);
    return sent;
}

}  // namespace zelo::uhid
