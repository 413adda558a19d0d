// The control channel's commands, one line each:
//   plug N | unplug N | clear N | dump | quit
//   fault N NAME [code=HEX] [count=N] [delay=MS] [after=N]
//   ir N HEX      (the accessory received IR command HEX)
//   log N         (the reports and commands the accessory saw)
// N is the accessory's number, 0 for the first of the description.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "zelo_sim/sim.h"

namespace zelo::uhid {

struct ControlCommand {
    enum class Kind { Plug, Unplug, Fault, Clear, Ir, Log, Dump, Quit };
    Kind kind = Kind::Dump;
    int accessory = -1;  // -1 where the command names none
    std::uint8_t irCode = 0;
    sim::FaultSpec fault{sim::Fault::DropAnswer};
};

// The command, or nullopt with an error naming what is wrong.
std::optional<ControlCommand> parseControlCommand(const std::string &line, std::string *error);

// The fault's name on the control channel, e.g. "unplug-mid-transfer".
const char *faultName(sim::Fault fault);

}  // namespace zelo::uhid
