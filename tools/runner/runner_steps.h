// The steps the runner's modes share: telling the user, waiting with a
// deadline for the program's windows and its connection.
#ifndef ZELO_RUNNER_RUNNER_STEPS_H
#define ZELO_RUNNER_RUNNER_STEPS_H

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "child_process.h"

namespace zelo::runner {

using Clock = std::chrono::steady_clock;

std::string utf8(const std::wstring &text);
void say(const std::string &line);

// Polls until found answers true, the program ends or the deadline passes.
bool pollUntil(const ChildProcess &program, Clock::time_point deadline, const std::function<bool()> &found);
// Says what went wrong and what the program shows, or that it ended.
void reportFailure(const ChildProcess &program, const std::string &what);

// The main window, past the first start's language dialog; null when it
// did not appear by the deadline.
HWND waitForMainWindow(const ChildProcess &program, Clock::time_point deadline);
// The status text once it shows a connected accessory; nullopt (the last
// text said) when it did not by the deadline.
std::optional<std::wstring> waitForConnection(const ChildProcess &program, HWND mainWindow,
                                              Clock::time_point deadline);
// Ends the program through File > Exit; true when it ended with status 0.
bool exitProgram(const ChildProcess &program, HWND mainWindow);

}  // namespace zelo::runner

#endif
