// zelo-tool's entry point.
#include <windows.h>

#include "configuration_pages_win.h"
#include "maintenance_pages_win.h"
#include "program_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    zelo::pages::registerConfigurationPages();
    zelo::maintenance::registerTestAndMaintenancePages();
    return zelo::app::runProgram(instance);
}
