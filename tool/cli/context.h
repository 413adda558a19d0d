// What every subcommand works with: the global options, where output and
// refusals go, the stop flag that Ctrl-C raises, and the pauses the
// accessory needs. Tests hand in their own streams, flag and waits.
#ifndef ZELO_CLI_CONTEXT_H
#define ZELO_CLI_CONTEXT_H

#include <atomic>
#include <ostream>
#include <string>
#include <string_view>

#include "config_record.h"
#include "waits.h"

namespace zelo::cli {

struct Options {
    // Which accessory: its number as `zelo list` shows it, its device path
    // or its address; empty = the one attached.
    std::string device;
    bool json = false;   // data as JSON
    bool quiet = false;  // no progress, no confirmations
    // What to do with a save an unplug cut short, found on connecting.
    bool finishSave = false;    // write the settings it was writing
    bool keepSettings = false;  // undo it: write back the settings from before it
};

struct Context {
    Options options;
    std::ostream &out;  // data and confirmations
    std::ostream &err;  // refusals, warnings and progress
    const std::atomic<bool> &stop;
    device::Waits &waits = device::realWaits();
    bool progressOnTerminal = false;  // a bar instead of percentage lines
    device::ConfigRecord::Clock clock{};  // empty: the record's own
};

// What every refusal starts with.
inline constexpr const char *kRefusalPrefix = "zelo: ";

// Writes "zelo: reason" on one line to the error stream; answers code.
int refuse(Context &context, int code, std::string_view reason);

// Writes text (one line) unless --quiet: to the output stream, or with
// --json to the error stream, since the output is the JSON's alone.
void confirm(Context &context, std::string_view text);

// The refusal after Ctrl-C: what was (or was not) done first.
int interrupted(Context &context, std::string_view whatWasDone);

}  // namespace zelo::cli

#endif
