// Which accessory a command works on. With one attached, that one; with
// more, --device must name it: by its number in `zelo list`, its device
// path or its address. An accessory held by another program is told apart
// from one that is absent, naming the holder where the system can tell.
#ifndef ZELO_CLI_DEVICE_CHOICE_H
#define ZELO_CLI_DEVICE_CHOICE_H

#include <string>
#include <vector>

#include "context.h"
#include "device_link.h"
#include "presence.h"

namespace zelo::cli {

// Every accessory plugged in, numbered as `zelo list` numbers them: what
// presentAccessories() finds, or where the system cannot tell, those the
// library can open.
std::vector<PresentAccessory> attachedAccessories();

// Opens the accessory at path, trying again for a moment while another
// program's count (or brief look) holds it. False when it could not.
bool openPath(device::CDeviceLink &link, const std::string &path);

// kExitOk with link open on the chosen accessory, or the exit code after
// the refusal.
int openChosen(Context &context, device::CDeviceLink &link);

// The form of --device: digits are a number, 12 hex digits (':' or '-'
// between pairs allowed) an address, anything else but a leading '-' a
// path. An address comes back as 12 upper-case digits.
struct DeviceSpec {
    enum class Kind { None, Number, Path, Address, Invalid };
    Kind kind = Kind::None;
    std::size_t number = 0;
    std::string text;
};
DeviceSpec parseDeviceSpec(const std::string &device);

}  // namespace zelo::cli

#endif
