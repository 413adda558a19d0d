// Programming the Bluetooth module through the serial tunnel: install from
// a file, restore the built-in image, erase. Their floor is dominated by the
// pauses the module's boot loader needs, which the program keeps.
#include <atomic>
#include <optional>

#include "bench_operations.h"
#include "connect_sequence.h"
#include "device_link.h"
#include "firmware_gate.h"
#include "images.h"
#include "module_program.h"

namespace zelo::bench {

namespace {

enum class ModuleJob { InstallFile, RestoreBuiltIn, Erase };

Cost moduleCost(ModuleJob job, Delay perReport) {
    const auto accessory = plugFresh(sim::AccessoryConfig{}, perReport);
    CountingWaits waits;
    device::CDeviceLink link;
    app::FixedAnswerGateUi ui(false);
    device::NoProgress progress;
    if (app::connectAccessory(link, 0, ui, progress, waits) != app::CONNECT_OK) return Cost{};
    // The file's bytes are the built-in image's, read before the clock starts.
    const std::vector<std::uint8_t> file = device::decipherModuleImage(link.cipher);
    std::optional<device::ModuleImageView> image;
    if (job == ModuleJob::InstallFile) image.emplace(file.data(), device::kModuleImageSize);
    std::atomic<int> percent{0};
    return measure(*accessory, waits, [&] {
        return device::moduleProgram(link, percent, image, job == ModuleJob::Erase, waits) ==
               device::ModuleProgramOk;
    });
}

}  // namespace

std::vector<Result> moduleResults(Delay perReport, bool judged) {
    const std::optional<double> goal = goalIf(judged, kOperationGoal);
    return {
        durationResult("module install (file)", {moduleCost(ModuleJob::InstallFile, perReport)}, perReport, goal),
        durationResult("module restore (built-in)", {moduleCost(ModuleJob::RestoreBuiltIn, perReport)}, perReport,
                       goal),
        durationResult("module erase", {moduleCost(ModuleJob::Erase, perReport)}, perReport, goal),
    };
}

}  // namespace zelo::bench
