// A save that an unplug cut short, as a later run finds it on connecting:
// the program's Yes/No question becomes --finish-save / --undo-save (also
// spelt --keep-settings: the accessory keeps the settings it had before).
#ifndef ZELO_CLI_UNFINISHED_SAVE_CHOICE_H
#define ZELO_CLI_UNFINISHED_SAVE_CHOICE_H

#include <optional>

#include "context.h"
#include "unfinished_save.h"
#include "session.h"

namespace zelo::cli {

// Right after the configuration read. With neither option, a command that
// needs the configuration is refused (its settings are part old, part new)
// and `info` only warns. kExitOk, or the exit code after the refusal.
int settleUnfinishedSave(Context &context, Accessory &accessory, Need need);

// The options' answer for the firmware gate, which settles the save before
// its update writes the configuration back; nullopt with neither option.
std::optional<device::UnfinishedChoice> unfinishedSaveChoice(const Context &context);

// The refusal when the gate needed an answer and the options gave none;
// the gate left what it found in link.unfinishedSave.
int refuseUnsettledSave(Context &context, const device::CDeviceLink &link);

// After a write: a warning when it went ahead without its record, and what
// the gate's look at the record found.
void warnAboutRecords(Context &context, const device::CDeviceLink &link);

}  // namespace zelo::cli

#endif
