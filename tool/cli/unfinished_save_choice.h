// A save that an unplug cut short, as a later run finds it on connecting:
// the program's Yes/No question becomes --finish-save / --keep-settings.
#ifndef ZELO_CLI_UNFINISHED_SAVE_CHOICE_H
#define ZELO_CLI_UNFINISHED_SAVE_CHOICE_H

#include "context.h"
#include "session.h"

namespace zelo::cli {

// Right after the configuration read. With neither option, a command that
// needs the configuration is refused (its settings are part old, part new)
// and `info` only warns. kExitOk, or the exit code after the refusal.
int settleUnfinishedSave(Context &context, Accessory &accessory, Need need);

}  // namespace zelo::cli

#endif
