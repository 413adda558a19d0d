// module install FILE | restore | erase: the Bluetooth module's firmware,
// through the maintenance page's own session.
#include <chrono>
#include <future>

#include "commands.h"
#include "exit_codes.h"
#include "module_program.h"
#include "module_session.h"
#include "progress_output.h"
#include "session.h"
#include "text.h"

namespace zelo::cli {

namespace {

using maintenance::ModuleOperationKind;

ModuleOperationKind kindOf(ModuleAction action) {
    switch (action) {
    case ModuleAction::Install:
        return ModuleOperationKind::InstallFile;
    case ModuleAction::Restore:
        return ModuleOperationKind::RestoreBuiltIn;
    case ModuleAction::Erase:
        break;
    }
    return ModuleOperationKind::Erase;
}

std::string fileRefusal(const std::string &file, int result) {
    switch (result) {
    case device::ModuleFileBadHex:
        return file + ": Intel HEX text with a malformed record or no end record";
    case device::ModuleFileHexOutsideModule:
        return file + ": Intel HEX data outside the module image, or none";
    case device::ModuleFileTextNotHex:
        return file + ": text that is not Intel HEX, not a module image";
    default:
        return "cannot read '" + file + "' (missing or empty)";
    }
}

// Runs the operation on a worker while this thread shows its progress. A
// module half programmed does not start, so Ctrl-C waits for the end.
int runOperation(Context &context, maintenance::ModuleSession &session, device::CDeviceLink &link) {
    ProgressOutput progress(context, "module");
    auto result = std::async(std::launch::async, [&] { return session.run(&link, context.waits); });
    const auto interval = std::chrono::milliseconds(maintenance::kProgressIntervalMs);
    while (result.wait_for(interval) != std::future_status::ready) progress.progress(session.progress());
    progress.progress(session.progress());
    return result.get();
}

}  // namespace

int moduleCommand(Context &context, ModuleAction action, const std::string &file) {
    maintenance::ModuleSession session;
    if (action == ModuleAction::Install) {
        const int chosen = session.chooseFile(file);
        if (!session.fileChosen()) return refuse(context, kExitUsage, fileRefusal(file, chosen));
    }
    Accessory accessory;
    if (const int result = connect(context, accessory, Need::CurrentFirmware); result != kExitOk) return result;
    if (context.stop.load()) return interrupted(context, "nothing was written");
    const ModuleOperationKind kind = kindOf(action);
    session.begin(kind);
    const int result = runOperation(context, session, accessory.link);
    const std::string outcome = utf8Of(maintenance::outcomeText(kind, result));
    if (result != device::ModuleProgramOk) {
        return refuse(context, kExitFailure, outcome + " (step " + std::to_string(result) + ")");
    }
    if (context.stop.load()) return interrupted(context, "the module operation was completed first");
    confirm(context, outcome);
    return kExitOk;
}

}  // namespace zelo::cli
