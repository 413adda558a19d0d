// zelo-tool as a child process of the runner.
#ifndef ZELO_RUNNER_CHILD_PROCESS_H
#define ZELO_RUNNER_CHILD_PROCESS_H

#include <windows.h>

#include <string>

namespace zelo::runner {

class ChildProcess {
public:
    ChildProcess() = default;
    // A program still running when the runner gives up is ended with it.
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // CreateProcessW with the program's own folder as working directory.
    bool start(const std::wstring &program);
    DWORD id() const { return info_.dwProcessId; }
    bool running() const;
    // True when the process ended within the time given.
    bool waitForEnd(DWORD milliseconds) const;
    DWORD exitCode() const;

private:
    PROCESS_INFORMATION info_{};
};

// The full path of a file in the runner's own folder.
std::wstring besideRunner(const std::wstring &fileName);

}  // namespace zelo::runner

#endif
