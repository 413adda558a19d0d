#include "interrupt.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <csignal>
#endif

namespace zelo::cli {

namespace {
std::atomic<bool> flag{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

#if defined(_WIN32)
BOOL WINAPI consoleHandler(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
    flag.store(true);
    return TRUE;
}
#else
void signalHandler(int) { flag.store(true); }

// Ctrl-C, a closed terminal and a polite kill all mean "stop when safe".
constexpr int kStopSignals[] = {SIGINT, SIGHUP, SIGTERM};
#endif
}  // namespace

std::atomic<bool> &interruptFlag() { return flag; }

void installInterruptHandler() {
#if defined(_WIN32)
    SetConsoleCtrlHandler(consoleHandler, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = signalHandler;
    sigemptyset(&action.sa_mask);
    for (const int signal : kStopSignals) sigaction(signal, &action, nullptr);
    // A reader that went away (`| head`) must not end the process in the
    // middle of a write to the accessory: the failed output write is
    // reported once the device work is done.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
#endif
}

}  // namespace zelo::cli
