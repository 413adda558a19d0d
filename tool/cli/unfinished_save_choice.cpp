#include "unfinished_save_choice.h"

#include <string>

#include "exit_codes.h"
#include "progress_output.h"
#include "text.h"

namespace zelo::cli {

namespace {

constexpr const char *kInterrupted =
    "the last save to this accessory was interrupted, so its settings are part old, part new; run again with "
    "--finish-save to write the settings that save was writing, or with --undo-save to write back the settings "
    "from before it";

int settle(Context &context, Accessory &accessory, const device::PendingSave &save, device::UnfinishedChoice choice) {
    const bool finishing = choice == device::UnfinishedChoice::Finish;
    int result = ZELO_OK;
    {
        ProgressOutput progress(context, finishing ? "finishing the interrupted save" : "undoing the interrupted save");
        result = device::settleUnfinishedSave(accessory.link, save, choice, progress);
    }
    warnAboutRecords(context, accessory.link);
    if (result != ZELO_OK) {
        return refuse(context, kExitFailure,
                      std::string(finishing ? "finishing" : "undoing") + " the interrupted save failed (code " +
                          std::to_string(result) + "); its record is kept for the next try");
    }
    confirm(context, finishing ? "the interrupted save was finished: the accessory holds the settings it was writing"
                               : "the interrupted save was undone: the accessory holds the settings from before it");
    return kExitOk;
}

// What a look at the record found that is only to be told.
void warnAboutLookup(Context &context, device::UnfinishedSave state) {
    switch (state) {
    case device::UnfinishedSave::Damaged:
        context.err << "zelo: warning: " << englishText(i18n::Msg::UnfinishedSaveDamaged) << '\n';
        break;
    case device::UnfinishedSave::Stale:
        context.err << "zelo: warning: " << englishText(i18n::Msg::UnfinishedSaveStale) << '\n';
        break;
    case device::UnfinishedSave::Unreadable:
        context.err << "zelo: warning: " << englishText(i18n::Msg::UnfinishedSaveUnreadable) << '\n';
        break;
    case device::UnfinishedSave::None:
    case device::UnfinishedSave::Differs:
        break;
    }
}

}  // namespace

std::optional<device::UnfinishedChoice> unfinishedSaveChoice(const Context &context) {
    if (context.options.finishSave) return device::UnfinishedChoice::Finish;
    if (context.options.keepSettings) return device::UnfinishedChoice::GoBack;
    return std::nullopt;
}

int refuseUnsettledSave(Context &context) { return refuse(context, kExitFailure, kInterrupted); }

void warnAboutRecords(Context &context, const device::CDeviceLink &link) {
    warnAboutLookup(context, link.unfinishedSave.state);
    if (link.lastWriteUnprotected) context.err << "zelo: warning: " << englishText(i18n::Msg::SaveUnprotected) << '\n';
}

int settleUnfinishedSave(Context &context, Accessory &accessory, Need need) {
    device::CDeviceLink &link = accessory.link;
    const device::UnfinishedSaveCheck check =
        device::checkUnfinishedSave(accessory.saves, link.variant(), link.record.readCopy());
    warnAboutLookup(context, check.state);
    if (check.state != device::UnfinishedSave::Differs) return kExitOk;
    if (const std::optional<device::UnfinishedChoice> choice = unfinishedSaveChoice(context)) {
        return settle(context, accessory, check.save, *choice);
    }
    if (need == Need::AnyConfiguration) {
        context.err << "zelo: warning: " << kInterrupted << '\n';
        return kExitOk;
    }
    return refuse(context, kExitFailure, kInterrupted);
}

}  // namespace zelo::cli
