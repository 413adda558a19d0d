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
// A record of the version before durable saves holds only the new settings.
constexpr const char *kInterruptedEarlier =
    "the last save to this accessory was interrupted, so its settings may be part old, part new; an earlier "
    "version of this program recorded it, with only the settings it was writing: run again with --finish-save "
    "to write them, or with --undo-save to keep the settings as they are now (the ones from before that save "
    "cannot be brought back)";

const char *interruptedText(const device::PendingSave &save) {
    return save.knowsBefore ? kInterrupted : kInterruptedEarlier;
}

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
    if (finishing) {
        confirm(context, "the interrupted save was finished: the accessory holds the settings it was writing");
    } else {
        confirm(context, save.knowsBefore
                             ? "the interrupted save was undone: the accessory holds the settings from before it"
                             : "the record of the interrupted save was dropped: the accessory keeps its settings "
                               "as they were");
    }
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

int refuseUnsettledSave(Context &context, const device::CDeviceLink &link) {
    return refuse(context, kExitFailure, interruptedText(link.unfinishedSave.save));
}

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
        context.err << "zelo: warning: " << interruptedText(check.save) << '\n';
        return kExitOk;
    }
    return refuse(context, kExitFailure, interruptedText(check.save));
}

}  // namespace zelo::cli
