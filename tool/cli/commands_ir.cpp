// ir watch and ir send: the IR test of the program's IR page.
#include <array>
#include <nlohmann/json.hpp>

#include "command_table.h"
#include "commands.h"
#include "exit_codes.h"
#include "ir_transmit_request.h"
#include "session.h"
#include "worker_tasks.h"

namespace zelo::cli {

namespace {

constexpr int kIrStatusRead = 1;  // readIrStatus's answer when a record arrived
// A present accessory answers every status read; this many failed in a
// row (one poll interval apart, so one glitch is forgiven) mean it is gone.
constexpr int kFailedReadsWhenUnplugged = 2;
// How long a sent command is held, as a short press of the page's button.
constexpr unsigned kIrSendHoldMs = 250;

std::optional<pages::CommandCode> transmitCommand(const std::string &name) {
    for (const pages::CommandListEntry &entry : pages::commandList(pages::CommandList::IrTransmit)) {
        if (entry.name == name) return entry.code;
    }
    return std::nullopt;
}

void printCommand(Context &context, std::uint8_t code) {
    const std::string name(pages::CommandTable::commandName(code));
    if (context.options.json) {
        context.out << nlohmann::json{{"command", name}}.dump() << '\n';
    } else {
        context.out << name << '\n';
    }
    context.out.flush();
}

}  // namespace

// Each change of the IR status is a command received; the status found at
// the start is an old one and is not printed.
int irWatchCommand(Context &context) {
    Accessory accessory;
    if (const int result = connect(context, accessory, Need::Versions); result != kExitOk) return result;
    if (!context.options.quiet) context.err << "watching for IR commands; Ctrl-C ends\n";
    std::optional<app::IrStatusRecord> last;
    int failedReads = 0;
    while (!context.stop.load()) {
        app::IrStatusRecord record{};
        if (accessory.link.readIrStatus(record.data()) == kIrStatusRead) {
            failedReads = 0;
            if (last && record != *last) printCommand(context, record[pages::kIrStatusCommandByte]);
            last = record;
        } else if (++failedReads >= kFailedReadsWhenUnplugged) {
            return refuse(context, kExitFailure, "the accessory was unplugged (it no longer answers)");
        }
        context.waits.sleepMs(app::kIrPollIntervalMs);
    }
    // Ending the watch is what Ctrl-C is for; the code says how it ended.
    return kExitInterrupted;
}

int irSendCommand(Context &context, const std::string &command) {
    const std::optional<pages::CommandCode> code = transmitCommand(command);
    if (!code) return refuse(context, kExitUsage, "unknown IR command '" + command + "' (names as in the key map)");
    Accessory accessory;
    if (const int result = connect(context, accessory, Need::CurrentFirmware); result != kExitOk) return result;
    if (accessory.link.variant() != device::DeviceVariant::X) {
        return refuse(context, kExitFailure, "only the X model transmits IR commands; this one is " + modelText(accessory.link));
    }
    const int started = app::transmitIr(&accessory.link, app::transmitFrame(app::transmitRequest(*code, true)));
    context.waits.sleepMs(kIrSendHoldMs);
    // The stop goes out whatever the start answered: the accessory must not
    // be left transmitting.
    const int stopped = app::transmitIr(&accessory.link, app::transmitFrame(app::transmitRequest(*code, false)));
    if (started != ZELO_OK || stopped != ZELO_OK) {
        return refuse(context, kExitFailure, "the accessory did not take the transmit command");
    }
    confirm(context, "sent " + command);
    return kExitOk;
}

}  // namespace zelo::cli
