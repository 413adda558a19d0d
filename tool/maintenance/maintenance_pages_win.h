// Plugs the IR test page and the module maintenance page into the shell.
#ifndef ZELO_MAINTENANCE_MAINTENANCE_PAGES_WIN_H
#define ZELO_MAINTENANCE_MAINTENANCE_PAGES_WIN_H

namespace zelo::maintenance {

// Before the main window is created: the page factories of the
// TransmitReceive and InstallModule tabs and the module tasks' routines.
void registerTestAndMaintenancePages();

}  // namespace zelo::maintenance

#endif
