#include "maintenance_pages_win.h"

#include "ir_page_win.h"
#include "module_page_win.h"
#include "workers_win.h"

namespace zelo::maintenance {

void registerTestAndMaintenancePages() {
    app::setPageFactory(app::PageIndex::TransmitReceive, pages::makeIrPage);
    app::setPageFactory(app::PageIndex::InstallModule, makeModulePage);
    app::setModuleRoutines(runModuleOperation, runModuleProgress);
}

}  // namespace zelo::maintenance
