#include "stage_run.h"

#include "child_process.h"
#include "program_texts.h"
#include "program_windows.h"
#include "resource.h"
#include "runner_steps.h"

namespace zelo::runner {

namespace {

// Each wait, long enough for Wine in an emulated machine.
constexpr std::chrono::seconds kStepDeadline{300};

bool saveButtonEnabled(HWND mainWindow) { return IsWindowEnabled(GetDlgItem(mainWindow, IDC_MAIN_SAVE)) != FALSE; }

// Sets the hold time and saves; the Save button, disabled while the save
// runs, comes back when it has ended.
bool saveMacroHold(const ChildProcess &program, HWND mainWindow, const std::wstring &holdMs) {
    HWND page = findMacroPage(mainWindow);
    if (page == nullptr || !setControlText(page, IDC_MACRO_HOLD_0, holdMs)) {
        reportFailure(program, "could not type the hold time into the macro page");
        return false;
    }
    if (!sendCommand(mainWindow, IDC_MAIN_SAVE) || saveButtonEnabled(mainWindow)) {
        reportFailure(program, "Save did not start a save");
        return false;
    }
    if (!pollUntil(program, Clock::now() + kStepDeadline, [&] { return saveButtonEnabled(mainWindow); })) {
        reportFailure(program, "the save did not end");
        return false;
    }
    say("saved hold time " + utf8(holdMs));
    return true;
}

bool waitForDisconnection(const ChildProcess &program, HWND mainWindow) {
    say("waiting for removal");
    std::wstring last;
    const bool shown = pollUntil(program, Clock::now() + kStepDeadline, [&] {
        last = statusText(mainWindow).value_or(last);
        return showsDisconnection(last);
    });
    if (!shown) {
        reportFailure(program, "the removal was not shown; last status text: \"" + utf8(last) + "\"");
        return false;
    }
    say("status after removal: " + utf8(last));
    return true;
}

}  // namespace

bool runStage(const std::wstring &programPath, const std::wstring &holdMs) {
    ChildProcess program;
    if (!program.start(programPath)) {
        say("cannot start " + utf8(programPath) + " (error " + std::to_string(GetLastError()) + ")");
        return false;
    }
    HWND mainWindow = waitForMainWindow(program, Clock::now() + kStepDeadline);
    if (mainWindow == nullptr) {
        reportFailure(program, "the main window did not appear");
        return false;
    }
    const std::optional<std::wstring> connection = waitForConnection(program, mainWindow, Clock::now() + kStepDeadline);
    if (!connection) {
        reportFailure(program, "the accessory did not connect");
        return false;
    }
    say("status: " + utf8(*connection));
    const bool worked = saveMacroHold(program, mainWindow, holdMs) && waitForDisconnection(program, mainWindow);
    return exitProgram(program, mainWindow) && worked;
}

}  // namespace zelo::runner
