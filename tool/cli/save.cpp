#include "save.h"

#include "config_session.h"
#include "exit_codes.h"
#include "progress_output.h"
#include "protocol.h"
#include "text.h"
#include "unfinished_save_choice.h"

namespace zelo::cli {

int saveConfiguration(Context &context, Accessory &accessory, Commit commit) {
    device::CDeviceLink &link = accessory.link;
    if (context.stop.load()) {
        if (commit == Commit::ReadCopy) link.record.revertCommit();
        return interrupted(context, "nothing was written");
    }
    if (commit == Commit::WorkingCopy) link.record.commitEdits();
    int result = ZELO_OK;
    {
        ProgressOutput progress(context, "saving");
        result = device::writeConfiguration(link, progress);
    }
    warnAboutRecords(context, link);
    if (!app::finishSave(&link, result)) {
        return refuse(context, kExitFailure, englishText(i18n::Msg::SaveFailed) + " (code " + std::to_string(result) + ")");
    }
    if (context.stop.load()) return interrupted(context, "the configuration was saved completely first");
    return kExitOk;
}

}  // namespace zelo::cli
