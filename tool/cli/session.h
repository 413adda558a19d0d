// Reaching the accessory from the command line: count, open the one asked
// for, read its versions, apply the version limits, run the firmware
// gate's check (never its update: that is `zelo firmware update`), and read
// the configuration when the subcommand needs it. Every refusal goes to
// the error stream with its exit code.
#ifndef ZELO_CLI_SESSION_H
#define ZELO_CLI_SESSION_H

#include <string>

#include "context.h"
#include "device_link.h"
#include "pending_save.h"

namespace zelo::cli {

enum class Need {
    Versions,           // open, versions, version limits
    FirmwareStatus,     // and the firmware check
    CurrentFirmware,    // and refused unless the firmware is current
    Configuration,      // and the configuration read (current firmware, standard or X model)
    AnyConfiguration,   // the configuration read whatever the firmware
};

struct Accessory {
    device::CDeviceLink link;
    // Where every write is recorded before it starts, so that one an unplug
    // cuts short can be finished by a later run (--finish-save).
    device::PendingSaveStore saves{device::PendingSaveStore::userFolder()};
    bool firmwareCurrent = true;
    std::string offeredFirmware;  // what an update installs, "1.19"
    // The accessory kept no first-connection time: this connect's time is
    // in the copies and reaches the accessory with the next save.
    bool firstConnectionUnsaved = false;
};

// kExitOk, or the exit code after the refusal was written.
int connect(Context &context, Accessory &accessory, Need need);

// After a connect without the configuration read (Need::FirmwareStatus):
// reads it only for the firmware version the program shows.
void readShownVersion(Accessory &accessory);

// What "no accessory" says. The place to add what the system knows about
// accessories present but out of reach (missing permissions).
std::string explainNoAccessory();

// The number of attached accessories (0 when the library cannot tell).
int attachedCount();

// The model as the settings files name it, or "other (loader X)".
std::string modelText(const device::CDeviceLink &link);

// The firmware version the program shows in its status bar: once the
// configuration is read, the standard model's image version ("1.24"),
// otherwise what the firmware answers.
std::string firmwareText(const device::CDeviceLink &link);
// What the firmware answers itself ("1.19").
std::string firmwareAnswer(const device::CDeviceLink &link);
// firmwareText, naming the answer too where it differs:
// "1.24 (firmware answers 1.19)".
std::string firmwareLine(const device::CDeviceLink &link);
std::string firmwareLine(const std::string &shown, const std::string &answer);

}  // namespace zelo::cli

#endif
