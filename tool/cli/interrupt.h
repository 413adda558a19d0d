// Ctrl-C (and a console close, SIGHUP or SIGTERM) raises a flag instead of
// ending the process, so a write under way can finish and leave the
// accessory consistent; the subcommand then ends with kExitInterrupted.
// SIGPIPE is ignored: a failed output write is an error found at the end.
#ifndef ZELO_CLI_INTERRUPT_H
#define ZELO_CLI_INTERRUPT_H

#include <atomic>

namespace zelo::cli {

std::atomic<bool> &interruptFlag();
void installInterruptHandler();

}  // namespace zelo::cli

#endif
