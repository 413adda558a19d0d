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
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

}  // namespace zelo::cli
