// What the connection and firmware-gate GUI tests share: message boxes
// owned by the main window whichever thread shows them (the Connect worker
// at start-up, the user-interface thread after a plug-in), the accessory's
// command log, and the main window's connection state.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "zelo_sim/sim.h"

namespace zelo::gui_test {

inline constexpr wchar_t kInformationCaption[] = L"Information";
inline constexpr wchar_t kErrorCaption[] = L"Error";

// A visible message box owned by owner, on any thread, by its caption and,
// when text is not empty, its message; null when none appears before the
// deadline.
HWND waitForMessageBox(HWND owner, const std::wstring &caption, const std::wstring &text = {});
bool messageBoxOpen(HWND owner, const std::wstring &caption);
// The message of a message box (its static texts).
std::wstring messageBoxText(HWND box);
// Presses a button and waits until the box has gone.
bool answerMessageBox(HWND box, int button);

// An accessory of model with firmware text firmware ("" for the model's own).
sim::AccessoryConfig accessoryConfig(const std::string &model, const std::string &firmware = "");

// Commands with this code the accessory received.
std::size_t commandCount(const sim::Accessory &accessory, std::uint8_t code);
// Page numbers of the page writes (0x58), in order.
std::vector<int> pagesWritten(const sim::Accessory &accessory);

// The connect has ended with the pages loaded: connected and Save enabled.
bool connectedAndLoaded(const ProgramRun &program);
// arrivalPending as the user-interface thread last left it.
bool arrivalPending(const ProgramRun &program);
// The arrival timer has fired since the last accessory notification.
bool waitForArrivalHandled(const ProgramRun &program);

// An arrival or removal broadcast naming path, as the system sends it.
void sendDeviceChange(HWND window, WPARAM event, const std::string &path);

}  // namespace zelo::gui_test
