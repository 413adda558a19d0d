#include "runner_steps.h"

#include <cstdio>

#include "program_texts.h"
#include "program_windows.h"
#include "resource.h"

namespace zelo::runner {

namespace {

constexpr DWORD kEndDeadlineMs = 15000;
constexpr DWORD kPollMs = 100;

}  // namespace

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

bool exitProgram(const ChildProcess &program, HWND mainWindow) {
    postCommand(mainWindow, IDM_FILE_EXIT);
    if (!program.waitForEnd(kEndDeadlineMs)) {
        reportFailure(program, "zelo-tool did not end after File > Exit");
        return false;
    }
    say("zelo-tool ended with exit code " + std::to_string(program.exitCode()));
    return program.exitCode() == 0;
}

}  // namespace zelo::runner
