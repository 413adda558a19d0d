#include "presenter.h"

#include <cstdio>
#include <sstream>

namespace zelo::uhid {

namespace {

constexpr const char *kProductName = "ZE-LO accessory (simulated)";
constexpr const char *kSerialPrefix = "ZELOSIM";

std::string hex(const std::uint8_t *bytes, std::size_t count) {
    std::string text;
    char digits[3];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
        text += digits;
    }
    return text;
}

const char *logKindName(sim::LogEntry::Kind kind) {
    switch (kind) {
    case sim::LogEntry::Kind::OutputReport: return "out";
    case sim::LogEntry::Kind::InputReport: return "in";
    case sim::LogEntry::Kind::Command: return "command";
    case sim::LogEntry::Kind::FeatureRead: return "feature";
    case sim::LogEntry::Kind::UnknownByte: return "unknown";
    }
    return "?";
}

const char *moduleStateName(sim::ModuleState state) {
    switch (state) {
    case sim::ModuleState::Firmware: return "firmware";
    case sim::ModuleState::BootLoader: return "boot-loader";
    case sim::ModuleState::Synchronised: return "synchronised";
    case sim::ModuleState::Loader: return "loader";
    }
    return "?";
}

}  // namespace

Presenter::Presenter(sim::World &world, Options options, std::function<void()> wake)
    : world_(world), options_(std::move(options)), wake_(std::move(wake)) {
    target_.callback = &Presenter::notified;
    target_.context = this;
}

Presenter::~Presenter() { stopAll(); }

void Presenter::notified(void *context, std::int32_t arrived, const char *path) {
    auto *self = static_cast<Presenter *>(context);
    {
        std::lock_guard lock(self->eventsMutex_);
        self->events_.emplace_back(arrived != 0, path);
    }
    self->wake_();
}

// Accessories without a state file get one of their own, so that one
// unplugged and plugged in again still holds its settings, as hardware does.
bool Presenter::configure(const std::string &description, std::string *error) {
    if (!world_.configure(description, error)) return false;
    const std::vector<std::shared_ptr<sim::Accessory>> plugged = world_.accessories();
    for (std::size_t i = 0; i < plugged.size(); ++i) {
        sim::AccessoryConfig config = plugged[i]->config();
        if (config.stateFile.empty()) {
            config.stateFile = options_.stateDir + "/accessory-" + std::to_string(i) + ".state";
            std::remove(config.stateFile.c_str());
            world_.unplug(plugged[i]);
            slots_.push_back({config, world_.plug(config), nullptr});
        } else {
            slots_.push_back({config, plugged[i], nullptr});
        }
    }
    world_.backend().requestNotification(&target_);
    for (std::size_t i = 0; i < slots_.size(); ++i) present(slots_[i], static_cast<int>(i));
    return true;
}

void Presenter::present(Slot &slot, int number) {
    if (slot.accessory == nullptr || slot.device != nullptr) return;
    const sim::AccessoryConfig config = slot.accessory->config();
    std::uint16_t vendorId = hid::kVendorId;
    std::uint16_t productId = config.productId;
    if (config.vendorId != 0) vendorId = config.vendorId;
    Identity identity{kProductName, kSerialPrefix + std::to_string(number), vendorId, productId,
                      options_.collections};
    auto device =
        std::make_unique<UhidDevice>(world_.backend(), slot.accessory->path(), identity, options_.interval);
    std::string error;
    if (!device->start(&error)) {
        std::fprintf(stderr, "zelo-uhid: accessory %d: %s\n", number, error.c_str());
        return;
    }
    slot.device = std::move(device);
}

Presenter::Slot *Presenter::slotOf(const std::string &path) {
    for (Slot &slot : slots_) {
        if (slot.accessory != nullptr && slot.accessory->path() == path) return &slot;
    }
    return nullptr;
}

void Presenter::handleEvents() {
    std::vector<std::pair<bool, std::string>> events;
    {
        std::lock_guard lock(eventsMutex_);
        events.swap(events_);
    }
    for (const auto &[arrived, path] : events) {
        Slot *slot = slotOf(path);
        if (arrived && slot == nullptr) {
            // One that arrives late (arrive=MS) is numbered after the others.
            for (const auto &accessory : world_.accessories()) {
                if (accessory->path() == path) slots_.push_back({accessory->config(), accessory, nullptr});
            }
            slot = slotOf(path);
        }
        if (slot == nullptr) continue;
        if (arrived) {
            present(*slot, static_cast<int>(slot - slots_.data()));
        } else {
            if (slot->device) slot->device->stop();
            slot->device.reset();
            slot->accessory.reset();
        }
    }
}

std::string Presenter::run(const ControlCommand &command) {
    using Kind = ControlCommand::Kind;
    if (command.kind == Kind::Dump) return "ok\n" + dump();
    if (command.kind == Kind::Quit) return "ok";
    if (command.accessory < 0 || static_cast<std::size_t>(command.accessory) >= slots_.size()) {
        return "error: no accessory " + std::to_string(command.accessory) + " (there are " +
               std::to_string(slots_.size()) + ")";
    }
    Slot &slot = slots_[static_cast<std::size_t>(command.accessory)];
    switch (command.kind) {
    case Kind::Plug:
        if (slot.accessory != nullptr) return "error: accessory " + std::to_string(command.accessory) + " is plugged in";
        slot.accessory = world_.plug(slot.config);
        if (slot.accessory == nullptr) return "error: the simulator refused the accessory (see its log)";
        break;
    case Kind::Unplug:
        if (slot.accessory == nullptr) return "error: accessory " + std::to_string(command.accessory) + " is not plugged in";
        world_.unplug(slot.accessory);
        break;
    case Kind::Log:
        if (slot.accessory == nullptr) return "error: accessory " + std::to_string(command.accessory) + " is not plugged in";
        return "ok\n" + log(*slot.accessory);
    case Kind::Fault:
    case Kind::Clear:
    case Kind::Ir:
        if (slot.accessory == nullptr) return "error: accessory " + std::to_string(command.accessory) + " is not plugged in";
        if (command.kind == Kind::Clear) {
            slot.accessory->clearFaults();
        } else if (command.kind == Kind::Ir) {
            slot.accessory->setLastIrCode(command.irCode);
        } else {
            slot.accessory->injectFault(command.fault);
        }
        break;
    default:
        break;
    }
    handleEvents();
    return "ok";
}

std::string Presenter::dump() const {
    std::ostringstream out;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const Slot &slot = slots_[i];
        out << "accessory " << i << ": ";
        if (slot.accessory == nullptr) {
            out << "unplugged\n";
            continue;
        }
        const sim::Accessory &a = *slot.accessory;
        const auto led = a.ledState();
        const auto ir = a.lastIrTransmit();
        out << "plugged serial=" << (slot.device ? slot.device->identity().serial : "-")
            << " firmware=" << a.firmwareVersion() << " loader=" << a.loaderVersion()
            << " boot-mode=" << a.bootMode() << " module=" << moduleStateName(a.moduleState())
            << " module-erased=" << a.moduleErased()
            << " commands=" << a.commands().size() << " pairing=" << a.pairingValue()
            << " led=" << hex(led.data(), led.size()) << " ir-transmit=" << hex(ir.data(), ir.size())
            << " state=" << slot.config.stateFile << "\n";
    }
    return out.str();
}

std::string Presenter::log(const sim::Accessory &accessory) {
    std::string text;
    for (const sim::LogEntry &entry : accessory.log()) {
        text += std::string(logKindName(entry.kind)) + " " + hex(entry.bytes.data(), entry.bytes.size());
        text += entry.note.empty() ? "\n" : " (" + entry.note + ")\n";
    }
    return text;
}

void Presenter::stopAll() {
    for (Slot &slot : slots_) {
        if (slot.device) slot.device->stop();
        slot.device.reset();
    }
}

}  // namespace zelo::uhid
