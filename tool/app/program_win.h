// The program from start to end, as the entry point runs it: common
// controls, the main window, the message loop, and the release of the
// device link. The GUI tests run it on a thread of their own.
#ifndef ZELO_APP_PROGRAM_WIN_H
#define ZELO_APP_PROGRAM_WIN_H

#include <windows.h>

namespace zelo::app {

// Returns 0 whatever the quit code was.
int runProgram(HINSTANCE instance);

}  // namespace zelo::app

#endif
