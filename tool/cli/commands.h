// The subcommands. Each answers an exit code (exit_codes.h) after writing
// its output and any refusal through the context.
#ifndef ZELO_CLI_COMMANDS_H
#define ZELO_CLI_COMMANDS_H

#include <optional>
#include <string>
#include <vector>

#include "context.h"

namespace zelo::cli {

int listCommand(Context &context);
int infoCommand(Context &context);
int firmwareStatusCommand(Context &context);
int firmwareUpdateCommand(Context &context);
int pairCommand(Context &context);

int showCommand(Context &context);
int exportCommand(Context &context, const std::string &file);
int importCommand(Context &context, const std::string &file, bool dryRun);
int setCommand(Context &context, const std::vector<std::string> &assignments);
int resetCommand(Context &context);

enum class ModuleAction { Install, Restore, Erase };
int moduleCommand(Context &context, ModuleAction action, const std::string &file);

int irWatchCommand(Context &context);
int irSendCommand(Context &context, const std::string &command);

// Waits for an accessory; nullopt waits for ever (until Ctrl-C).
int waitCommand(Context &context, std::optional<double> timeoutSeconds);

}  // namespace zelo::cli

#endif
