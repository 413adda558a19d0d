// zelo-uhid: simulated accessories presented to the kernel through
// /dev/uhid, so that hidraw, udev, hidapi and the programs above them see
// them as devices.
//   zelo-uhid [--control SOCKET] [--interval-us N] [--state-dir DIR] [--collections N] [DESCRIPTION]
//   zelo-uhid --send SOCKET COMMAND...
// DESCRIPTION is the ZELO_SIMULATOR syntax (that variable when omitted).
// --interval-us spaces input reports (1000, a full-speed endpoint; 0 does
// not pace); --collections gives each device more top-level usages.
// The control socket exists once every accessory is presented.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "control_socket.h"
#include "pacer.h"
#include "presenter.h"
#include "zelo_backend/hid_backend.h"

namespace {

using namespace zelo::uhid;

constexpr const char *kUsage =
    "usage: zelo-uhid [--control SOCKET] [--interval-us N] [--state-dir DIR] [--collections N] [DESCRIPTION]\n"
    "       zelo-uhid --send SOCKET COMMAND...\n"
    "commands: plug N, unplug N, fault N NAME [code=HEX] [count=N] [delay=MS] [after=N], clear N,\n"
    "          ir N HEX, log N, dump, quit\n";
constexpr int kUsageError = 2;
constexpr int kDecimal = 10;
constexpr long kMaxCollections = 8;

int wakePipe[2] = {-1, -1};
std::atomic<bool> stopRequested{false};

void wake() {
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = ::write(wakePipe[1], &byte, 1);
}

void onSignal(int) {
    stopRequested.store(true);
    wake();
}

struct Options {
    std::string control;
    std::string stateDir;
    std::string description;
    long intervalUs = kUsbFrame.count();
    long collections = 1;
    bool describedHere = false;
};

bool number(const char *text, long min, long max, long *value) {
    char *end = nullptr;
    *value = std::strtol(text, &end, kDecimal);
    return end != text && *end == '\0' && *value >= min && *value <= max;
}

bool parseOptions(int argc, char **argv, Options *options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--control" && hasValue) {
            options->control = argv[++i];
        } else if (arg == "--state-dir" && hasValue) {
            options->stateDir = argv[++i];
        } else if (arg == "--interval-us" && hasValue) {
            if (!number(argv[++i], 0, std::numeric_limits<int>::max(), &options->intervalUs)) return false;
        } else if (arg == "--collections" && hasValue) {
            if (!number(argv[++i], 1, kMaxCollections, &options->collections)) return false;
        } else if (!arg.starts_with("--") && !options->describedHere) {
            options->description = arg;
            options->describedHere = true;
        } else {
            return false;
        }
    }
    return true;
}

int send(int argc, char **argv) {
    if (argc < 4) {
        std::fputs(kUsage, stderr);
        return kUsageError;
    }
    std::string command;
    for (int i = 3; i < argc; ++i) {
        if (i > 3) command += ' ';
        command += argv[i];
    }
    std::string reply;
    if (!sendCommand(argv[2], command, &reply)) {
        std::fprintf(stderr, "zelo-uhid: %s\n", reply.c_str());
        return 1;
    }
    std::fputs(reply.c_str(), stdout);
    return reply.starts_with("ok") ? 0 : 1;
}

// The description from the command line or the environment; the variable
// goes, so that the simulator does not configure itself from it as well.
std::string takeDescription(const Options &options) {
    const char *variable = std::getenv(ZELO_SIMULATOR_VARIABLE);
    std::string description = options.describedHere ? options.description : (variable ? variable : "standard");
    ::unsetenv(ZELO_SIMULATOR_VARIABLE);
    return description;
}

std::string makeStateDir(const Options &options) {
    if (!options.stateDir.empty()) return options.stateDir;
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp ? tmp : "/tmp") + "/zelo-uhid-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    // Empty when no folder could be made: accessories sharing a fixed
    // folder would take each other's state files.
    return ::mkdtemp(buffer.data()) != nullptr ? std::string(buffer.data()) : std::string();
}

int serve(const Options &options) {
    if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) return 1;
    struct sigaction action{};
    action.sa_handler = onSignal;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    const std::string description = takeDescription(options);
    const std::string stateDir = makeStateDir(options);
    if (stateDir.empty()) {
        std::fprintf(stderr, "zelo-uhid: cannot make a folder for the accessories' state files: %s\n",
                     std::strerror(errno));
        return 1;
    }
    Presenter presenter(zelo::sim::World::instance(),
                        {stateDir, std::chrono::microseconds(options.intervalUs),
                         static_cast<int>(options.collections)},
                        wake);
    std::string error;
    if (!presenter.configure(description, &error)) {
        std::fprintf(stderr, "zelo-uhid: %s\n", error.c_str());
        return kUsageError;
    }
    int listener = -1;
    if (!options.control.empty() && (listener = listenAt(options.control, &error)) < 0) {
        std::fprintf(stderr, "zelo-uhid: %s\n", error.c_str());
        return 1;
    }
    std::printf("zelo-uhid: presenting %s\n", description.c_str());
    std::fflush(stdout);
    bool quit = false;
    while (!quit && !stopRequested.load()) {
        pollfd fds[2] = {{wakePipe[0], POLLIN, 0}, {listener, POLLIN, 0}};
        if (::poll(fds, listener >= 0 ? 2 : 1, -1) < 0 && errno != EINTR) break;
        char drain[64];
        while (::read(wakePipe[0], drain, sizeof drain) > 0) {
        }
        presenter.handleEvents();
        if (listener >= 0 && (fds[1].revents & POLLIN) != 0) {
            serveOne(listener, [&](const std::string &line) {
                std::string parseError;
                const auto command = parseControlCommand(line, &parseError);
                if (!command) return "error: " + parseError;
                quit = command->kind == ControlCommand::Kind::Quit;
                return presenter.run(*command);
            });
        }
    }
    presenter.stopAll();
    if (listener >= 0) ::unlink(options.control.c_str());
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--send") == 0) return send(argc, argv);
    Options options;
    if (!parseOptions(argc, argv, &options)) {
        std::fputs(kUsage, stderr);
        return kUsageError;
    }
    return serve(options);
}
