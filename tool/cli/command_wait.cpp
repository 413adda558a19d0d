// wait [--timeout S]: until an accessory is attached.
#include <algorithm>
#include <chrono>
#include <cmath>

#include "commands.h"
#include "exit_codes.h"
#include "hotplug.h"
#include "session.h"

namespace zelo::cli {

namespace {

using Clock = std::chrono::steady_clock;
// Longer limits count as none, so the deadline cannot overflow the clock.
constexpr double kLongestLimitSeconds = 100.0 * 365 * 24 * 60 * 60;

Clock::time_point deadlineAfter(std::optional<double> seconds) {
    if (!seconds || *seconds > kLongestLimitSeconds) return Clock::time_point::max();
    const auto span = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(*seconds));
    return Clock::now() + span;
}

std::string secondsText(double seconds) {
    std::string text = std::to_string(seconds);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

}  // namespace

int waitCommand(Context &context, std::optional<double> timeoutSeconds) {
    // Registered before counting, so an accessory arriving in between is heard.
    HotplugWatch watch;
    const Clock::time_point deadline = deadlineAfter(timeoutSeconds);
    while (true) {
        if (const int count = attachedCount(); count > 0) {
            confirm(context, std::to_string(count) + (count == 1 ? " accessory" : " accessories") + " attached");
            return kExitOk;
        }
        if (context.stop.load()) return interrupted(context, "no accessory arrived");
        if (Clock::now() >= deadline) {
            return refuse(context, kExitNoAccessory,
                          "no accessory arrived within " + secondsText(timeoutSeconds.value_or(0)) + " s");
        }
        // Counting again now and then hears arrivals no notification tells of.
        watch.waitForArrival(std::min(deadline, Clock::now() + kRecountInterval), context.stop);
    }
}

}  // namespace zelo::cli
