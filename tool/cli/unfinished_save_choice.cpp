#include "unfinished_save_choice.h"

#include <string>

#include "exit_codes.h"
#include "progress_output.h"
#include "unfinished_save.h"

namespace zelo::cli {

namespace {

constexpr const char *kInterrupted =
    "the last save to this accessory was interrupted, so its settings are part old, part new; run again with "
    "--finish-save to write the settings that save was writing, or with --keep-settings to keep what the accessory "
    "holds";

int finish(Context &context, Accessory &accessory, const device::PendingSave &save) {
    int result = ZELO_OK;
    {
        ProgressOutput progress(context, "finishing the interrupted save");
        result = device::finishUnfinishedSave(accessory.link, save, progress);
    }
    if (result != ZELO_OK) {
        return refuse(context, kExitFailure,
                      "finishing the interrupted save failed (code " + std::to_string(result) +
                          "); its record is kept for the next try");
    }
    confirm(context, "the interrupted save was finished: the accessory holds the settings it was writing");
    return kExitOk;
}

}  // namespace

int settleUnfinishedSave(Context &context, Accessory &accessory, Need need) {
    device::CDeviceLink &link = accessory.link;
    const device::UnfinishedSaveCheck check =
        device::checkUnfinishedSave(accessory.saves, link.variant(), link.record.readCopy());
    if (check.state == device::UnfinishedSave::Damaged) {
        context.err << "zelo: warning: the record of an earlier save to this accessory was damaged and was dropped\n";
        return kExitOk;
    }
    if (check.state != device::UnfinishedSave::Differs) return kExitOk;
    if (context.options.finishSave) return finish(context, accessory, check.save);
    if (context.options.keepSettings) {
        device::keepAccessorySettings(accessory.saves, check.save);
        confirm(context, "the interrupted save was dropped; the accessory keeps the settings it holds");
        return kExitOk;
    }
    if (need == Need::AnyConfiguration) {
        context.err << "zelo: warning: " << kInterrupted << '\n';
        return kExitOk;
    }
    return refuse(context, kExitFailure, kInterrupted);
}

}  // namespace zelo::cli
