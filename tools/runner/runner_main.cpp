// zelo-runner: starts zelo-tool from its own folder, waits until the main
// window shows a connected accessory, saves a picture of the window, then
// ends the program through File > Exit. `make run` uses it where nobody
// can look at the screen, so a run there proves the program works.
// Usage: zelo-runner [picture.bmp]; exit status 0 when all of that worked.
// Without a file name no picture is taken (a display-less Wine has none).
// zelo-runner --stage HOLD_MS drives the stage's scenario instead
// (stage_run.h).
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "child_process.h"
#include "runner_steps.h"
#include "stage_run.h"
#include "window_picture.h"

namespace {

using namespace zelo::runner;

constexpr wchar_t kProgramFile[] = L"zelo-tool.exe";
constexpr wchar_t kStageOption[] = L"--stage";
// From the start until the accessory shows as connected.
constexpr std::chrono::seconds kConnectDeadline{60};
constexpr int kSucceeded = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

int run(const std::optional<std::wstring> &picturePath) {
    ChildProcess program;
    const std::wstring programPath = besideRunner(kProgramFile);
    if (!program.start(programPath)) {
        say("cannot start " + utf8(programPath) + " (error " + std::to_string(GetLastError()) + ")");
        return kFailed;
    }
    const Clock::time_point deadline = Clock::now() + kConnectDeadline;
    HWND mainWindow = waitForMainWindow(program, deadline);
    if (mainWindow == nullptr) {
        reportFailure(program, "the main window did not appear within 60 s");
        return kFailed;
    }
    say("main window shown");
    const std::optional<std::wstring> connection = waitForConnection(program, mainWindow, deadline);
    if (!connection) {
        reportFailure(program, "the accessory did not connect within 60 s");
        return kFailed;
    }
    say("status: " + utf8(*connection));
    const bool saved = !picturePath || saveWindowPicture(mainWindow, *picturePath);
    if (!saved) say("could not save the picture " + utf8(*picturePath));
    return exitProgram(program, mainWindow) && saved ? kSucceeded : kFailed;
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc == 3 && std::wstring(argv[1]) == kStageOption) {
        return runStage(besideRunner(kProgramFile), argv[2]) ? kSucceeded : kFailed;
    }
    if (argc > 2) {
        std::fprintf(stderr, "usage: zelo-runner [picture.bmp] | zelo-runner --stage HOLD_MS\n");
        return kUsage;
    }
    return run(argc == 2 ? std::optional<std::wstring>(argv[1]) : std::nullopt);
}
