// The stage's zelo-tool scenario, driven as a user would: the program
// connects to the accessory, the first step of the macro it shows gets
// the hold time given and is saved, then the accessory is pulled (the
// scenario does that when the runner says "waiting for removal") and the
// program must show it disconnected. Says each finding; true when all
// happened and the program ended normally.
#ifndef ZELO_RUNNER_STAGE_RUN_H
#define ZELO_RUNNER_STAGE_RUN_H

#include <string>

namespace zelo::runner {

bool runStage(const std::wstring &programPath, const std::wstring &holdMs);

}  // namespace zelo::runner

#endif
