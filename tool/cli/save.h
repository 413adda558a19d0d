// Writing the working copy to the accessory. Ctrl-C does not cut a save
// short: its pages belong together (and on the standard model the third
// one closes the firmware image's CRC), so a save that has begun is
// finished; a stop raised before it begins writes nothing.
#ifndef ZELO_CLI_SAVE_H
#define ZELO_CLI_SAVE_H

#include "context.h"
#include "session.h"

namespace zelo::cli {

// What is written: the working copy (Commit::WorkingCopy), or the read
// copy as "Restore default settings" left it (Commit::ReadCopy).
enum class Commit { WorkingCopy, ReadCopy };
int saveConfiguration(Context &context, Accessory &accessory, Commit commit = Commit::WorkingCopy);

}  // namespace zelo::cli

#endif
