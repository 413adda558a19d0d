#include "device_choice.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <charconv>
#include <thread>

#include "exit_codes.h"
#include "protocol.h"
#include "session.h"
#include "text.h"

namespace zelo::cli {

namespace {

using State = PresentAccessory::State;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kAddressDigits = 12;
constexpr std::size_t kAddressWithSeparators = 17;  // 00:11:22:33:44:55
// A count holds an accessory for a few milliseconds; a connection holds it
// for as long as it lasts. Longer than any count, short for a person.
constexpr std::chrono::milliseconds kClaimPatience{1000};
constexpr std::chrono::milliseconds kClaimRetryPause{25};

std::string upper(std::string text) {
    for (char &c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool samePath(const std::string &a, const std::string &b) { return upper(a) == upper(b); }

std::string addressDigits(const std::string &text) {
    std::string digits;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool separator = (c == ':' || c == '-') && i % 3 == 2 && text.size() == kAddressWithSeparators;
        if (separator) continue;
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0) return {};
        digits.push_back(c);
    }
    return digits.size() == kAddressDigits ? upper(digits) : std::string();
}

// The library's number of the accessory at path now, or -1.
int libraryNumberOf(device::CDeviceLink &link, const std::string &path) {
    const int count = attachedCount();
    for (int number = 0; number < count; ++number) {
        if (link.open(number) != ZELO_OK) continue;
        if (samePath(link.devicePath, path)) return number;
        link.close();
    }
    return -1;
}

std::string describe(std::size_t number, const PresentAccessory &accessory) {
    std::string text = std::to_string(number) + "  " + accessory.path;
    if (accessory.state == State::InUse) text += "  (" + inUseText(accessory) + ")";
    if (accessory.state == State::Denied) text += "  (this user may not open it)";
    return text;
}

int refuseChoice(Context &context, const std::vector<PresentAccessory> &attached) {
    refuse(context, kExitUsage,
           std::to_string(attached.size()) +
               " accessories are attached; choose one with --device NUMBER, PATH or ADDRESS (see 'zelo list'):");
    for (std::size_t i = 0; i < attached.size(); ++i) context.err << "  " << describe(i, attached[i]) << '\n';
    return kExitUsage;
}

// The address of the accessory at path, or empty when it cannot be read.
std::string addressAt(const std::string &path) {
    device::CDeviceLink link;
    device::NoProgress quiet;
    if (!openPath(link, path) || device::readVersions(link) != ZELO_OK ||
        device::readConfiguration(link, quiet) != ZELO_OK) {
        return {};
    }
    return link.record.updateCheckData(link.firmwareVersion, link.ldVersion).address;
}

// The position in attached that spec names, or the exit code after the refusal.
int choose(Context &context, const std::vector<PresentAccessory> &attached, const DeviceSpec &spec, std::size_t *chosen) {
    const std::string count = std::to_string(attached.size()) + " attached";
    switch (spec.kind) {
    case DeviceSpec::Kind::None:
        if (attached.size() > 1) return refuseChoice(context, attached);
        *chosen = 0;
        return kExitOk;
    case DeviceSpec::Kind::Number:
        if (spec.number < attached.size()) {
            *chosen = spec.number;
            return kExitOk;
        }
        return refuse(context, kExitNoAccessory,
                      "there is no accessory number " + spec.text + " (" + count + ", numbered from 0; see 'zelo list')");
    case DeviceSpec::Kind::Path:
        for (std::size_t i = 0; i < attached.size(); ++i) {
            if (samePath(attached[i].path, spec.text)) {
                *chosen = i;
                return kExitOk;
            }
        }
        return refuse(context, kExitNoAccessory, "no accessory is attached at " + spec.text + " (see 'zelo list')");
    case DeviceSpec::Kind::Address:
    case DeviceSpec::Kind::Invalid:
        break;
    }
    for (std::size_t i = 0; i < attached.size(); ++i) {
        if (attached[i].state == State::Free && addressAt(attached[i].path) == spec.text) {
            *chosen = i;
            return kExitOk;
        }
    }
    return refuse(context, kExitNoAccessory,
                  "no attached accessory has the address " + spec.text + " (" + count + "; 'zelo info' shows one's address)");
}

}  // namespace

DeviceSpec parseDeviceSpec(const std::string &device) {
    DeviceSpec spec;
    spec.text = device;
    if (device.empty()) return spec;
    const char *end = device.data() + device.size();
    if (const auto [at, error] = std::from_chars(device.data(), end, spec.number); error == std::errc() && at == end) {
        spec.kind = DeviceSpec::Kind::Number;
    } else if (device.front() == '-') {
        spec.kind = DeviceSpec::Kind::Invalid;  // an option or a negative number
    } else if (const std::string digits = addressDigits(device); !digits.empty()) {
        spec.kind = DeviceSpec::Kind::Address;
        spec.text = digits;
    } else {
        spec.kind = DeviceSpec::Kind::Path;
    }
    return spec;
}

std::vector<PresentAccessory> attachedAccessories() {
    if (std::optional<std::vector<PresentAccessory>> present = presentAccessories()) return std::move(*present);
    std::vector<PresentAccessory> openable;
    const int count = attachedCount();
    for (int number = 0; number < count; ++number) {
        device::CDeviceLink link;
        if (link.open(number) == ZELO_OK) openable.push_back(PresentAccessory{link.devicePath, PresentAccessory::State::Free, {}});
    }
    return openable;
}

bool openPath(device::CDeviceLink &link, const std::string &path) {
    const Clock::time_point deadline = Clock::now() + kClaimPatience;
    while (true) {
        if (libraryNumberOf(link, path) >= 0) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kClaimRetryPause);
    }
}

int openChosen(Context &context, device::CDeviceLink &link) {
    const DeviceSpec spec = parseDeviceSpec(context.options.device);
    if (spec.kind == DeviceSpec::Kind::Invalid) {
        return refuse(context, kExitUsage,
                      "--device " + spec.text + ": expected a number as 'zelo list' shows it, a device path or an address");
    }
    const std::vector<PresentAccessory> attached = attachedAccessories();
    if (attached.empty()) return refuse(context, kExitNoAccessory, explainNoAccessory());
    std::size_t chosen = 0;
    if (const int choice = choose(context, attached, spec, &chosen); choice != kExitOk) return choice;
    const PresentAccessory &accessory = attached[chosen];
    if (accessory.state == State::Denied) return refuse(context, kExitNoAccessory, explainNoAccessory());
    if (openPath(link, accessory.path)) return kExitOk;
    // Still held after the wait: a connection, not a count.
    const std::vector<PresentAccessory> now = attachedAccessories();
    const auto held = std::find_if(now.begin(), now.end(), [&](const PresentAccessory &present) {
        return samePath(present.path, accessory.path) && present.state == State::InUse;
    });
    if (held != now.end()) {
        return refuse(context, kExitFailure,
                      "the accessory " + accessory.path + " is " + inUseText(*held) + "; close that program first");
    }
    return refuse(context, kExitFailure,
                  "cannot open the accessory " + accessory.path + "; another program may be using it, or it was unplugged");
}

}  // namespace zelo::cli
