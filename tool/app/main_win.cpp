// zelo-tool's entry point.
#include <windows.h>

#include "program_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return zelo::app::runProgram(instance); }
