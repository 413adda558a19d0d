// zelo-runner: starts zelo-tool from its own folder, waits until the main
// window shows a connected accessory, saves a picture of the window, then
// ends the program through File > Exit. `make run` uses it where nobody
// can look at the screen, so a run there proves the program works.
// Usage: zelo-runner [picture.bmp]; exit status 0 when all of that worked.
// Without a file name no picture is taken (a display-less Wine has none).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "child_process.h"
#include "program_texts.h"
#include "program_windows.h"
#include "resource.h"
#include "window_picture.h"

namespace {

using namespace zelo::runner;
using Clock = std::chrono::steady_clock;

constexpr wchar_t kProgramFile[] = L"zelo-tool.exe";
// From the start until the accessory shows as connected.
constexpr std::chrono::seconds kConnectDeadline{60};
constexpr DWORD kEndDeadlineMs = 15000;
constexpr DWORD kPollMs = 100;
constexpr int kSucceeded = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

std::string utf8(const std::wstring &text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr, nullptr);
    return result;
}

void say(const std::string &line) {
    std::printf("zelo-runner: %s\n", line.c_str());
    std::fflush(stdout);
}

// Polls until found answers true, the program ends or the deadline passes.
bool pollUntil(const ChildProcess &program, Clock::time_point deadline, const std::function<bool()> &found) {
    while (!found()) {
        if (!program.running() || Clock::now() >= deadline) return false;
        Sleep(kPollMs);
    }
    return true;
}

void reportFailure(const ChildProcess &program, const std::string &what) {
    say(what);
    if (!program.running()) {
        say("zelo-tool ended by itself with exit code " + std::to_string(program.exitCode()));
        return;
    }
    for (const std::wstring &title : shownWindowTitles(program.id())) say("window shown: \"" + utf8(title) + "\"");
}

// The first start asks for the language before the main window appears;
// OK keeps the language ticked (English on a fresh machine).
HWND waitForMainWindow(const ChildProcess &program, Clock::time_point deadline) {
    HWND mainWindow = nullptr;
    pollUntil(program, deadline, [&] {
        if (HWND dialog = findLanguageDialog(program.id())) {
            say("first start: confirming the language dialog");
            postCommand(dialog, IDC_LANGUAGE_OK);
        }
        mainWindow = findMainWindow(program.id());
        return mainWindow != nullptr;
    });
    return mainWindow;
}

std::optional<std::wstring> waitForConnection(const ChildProcess &program, HWND mainWindow,
                                              Clock::time_point deadline) {
    std::wstring last;
    const bool connected = pollUntil(program, deadline, [&] {
        last = statusText(mainWindow).value_or(last);
        return showsConnection(last);
    });
    if (connected) return last;
    say("last status text: \"" + utf8(last) + "\"");
    return std::nullopt;
}

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
    postCommand(mainWindow, IDM_FILE_EXIT);
    if (!program.waitForEnd(kEndDeadlineMs)) {
        reportFailure(program, "zelo-tool did not end after File > Exit");
        return kFailed;
    }
    say("zelo-tool ended with exit code " + std::to_string(program.exitCode()));
    return saved && program.exitCode() == 0 ? kSucceeded : kFailed;
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: zelo-runner [picture.bmp]\n");
        return kUsage;
    }
    return run(argc == 2 ? std::optional<std::wstring>(argv[1]) : std::nullopt);
}
