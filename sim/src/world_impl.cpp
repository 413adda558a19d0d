#include "world_impl.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <thread>

#include "device_path.h"
#include "model_profile.h"
#include "notifier.h"
#include "sim_backend.h"
#include "simulator_setting.h"

namespace zelo::sim {

namespace {

// Every process numbers its accessories from 1, so accessories kept in
// different state files would share one identity (and one record of
// unfinished saves). A new one of a state file takes its identity from the
// file's full name instead; the file then keeps it.
unsigned identityUnit(const AccessoryConfig &config, unsigned serial) {
    if (config.stateFile.empty()) return serial;
    constexpr std::uint32_t kFnvBasis = 2166136261U;
    constexpr std::uint32_t kFnvPrime = 16777619U;
    constexpr std::uint32_t kAddressUnitMask = 0xFFFFFF;  // the address bytes that carry the unit
    std::error_code ignored;
    const std::string name = std::filesystem::absolute(config.stateFile, ignored).string();
    std::uint32_t hash = kFnvBasis;
    for (const char c : name) hash = (hash ^ static_cast<std::uint8_t>(c)) * kFnvPrime;
    return hash & kAddressUnitMask;
}
// Channel tokens look like Windows handles: small, nonzero, multiples of 4.
constexpr std::uintptr_t kFirstToken = 0x100;
constexpr std::uintptr_t kTokenStep = 4;
constexpr const char *kEnvironmentVariable = ZELO_SIMULATOR_VARIABLE;

// Each accessory's kept memory, or the reason a state file is refused.
bool loadStates(const std::vector<AccessoryConfig> &configs, std::vector<std::optional<SavedState>> *states,
                std::string *error) {
    for (const AccessoryConfig &config : configs) {
        std::optional<SavedState> &state = states->emplace_back();
        if (config.stateFile.empty()) continue;
        SavedState loaded;
        std::string reason;
        switch (loadState(config.stateFile, resolveProfile(config).loader, &loaded, &reason)) {
        case StateLoad::Loaded:
            state = std::move(loaded);
            break;
        case StateLoad::Missing:
            break;
        case StateLoad::Refused:
            *error = "ZELO_SIMULATOR: state file '" + config.stateFile + "': " + reason +
                     "; remove it to start from a new accessory";
            return false;
        }
    }
    return true;
}

WorldImpl *createWorld() {
    auto *world = new WorldImpl();
    if (const char *description = std::getenv(kEnvironmentVariable)) world->configure(description, nullptr);
    return world;
}
}  // namespace

World &World::instance() {
    // Never destroyed: library threads may still use it while the process exits.
    static WorldImpl *const world = createWorld();
    return *world;
}

WorldImpl::WorldImpl() : nextToken_(kFirstToken), backend_(std::make_unique<SimBackend>(*this)) {}

WorldImpl::~WorldImpl() = default;

bool WorldImpl::configure(const std::string &description, std::string *error) {
    std::vector<AccessoryConfig> configs;
    std::vector<std::optional<SavedState>> states;
    std::string message;
    const bool ok = parseSimulatorSetting(description, &configs, &message) && loadStates(configs, &states, &message);
    ++generation_;
    unplugAll();
    if (!ok) {
        std::fprintf(stderr, "zelo-sim: %s\n", message.c_str());
        if (error != nullptr) *error = message;
        return false;
    }
    for (std::size_t i = 0; i < configs.size(); ++i) {
        if (configs[i].arriveAfterMs > 0) {
            plugLater(configs[i], std::move(states[i]));
        } else {
            plugWith(configs[i], states[i] ? &*states[i] : nullptr);
        }
    }
    return true;
}

void WorldImpl::plugLater(const AccessoryConfig &config, std::optional<SavedState> saved) {
    const unsigned generation = generation_.load();
    // Detached: the world outlives every thread, and a process may well end
    // before its accessory arrives.
    std::thread([this, config, saved = std::move(saved), generation] {
        std::this_thread::sleep_for(std::chrono::milliseconds(config.arriveAfterMs));
        if (generation_.load() == generation) plugWith(config, saved ? &*saved : nullptr);
    }).detach();
}

std::shared_ptr<Accessory> WorldImpl::plug(const AccessoryConfig &config) {
    std::vector<std::optional<SavedState>> states;
    std::string message;
    if (!loadStates({config}, &states, &message)) {
        std::fprintf(stderr, "zelo-sim: %s\n", message.c_str());
        return nullptr;
    }
    return plugWith(config, states.front() ? &*states.front() : nullptr);
}

std::shared_ptr<Accessory> WorldImpl::plugWith(const AccessoryConfig &config, const SavedState *saved) {
    const Profile profile = resolveProfile(config);
    std::shared_ptr<AccessoryImpl> accessory;
    std::vector<void *> windows;
    {
        std::lock_guard lock(mutex_);
        const unsigned unit = nextSerial_++;
        const std::string path = interfacePathText(profile.vendorId, profile.productId, unit);
        accessory = std::make_shared<AccessoryImpl>(config, path, identityUnit(config, unit), settings_, saved);
        plugged_.push_back(accessory);
        windows = windows_;
    }
    // A new accessory's file exists from the start, so every later run
    // finds the same accessory even before anything was written to it.
    std::string error;
    if (saved == nullptr && !accessory->saveStateFile(&error)) {
        std::fprintf(stderr, "zelo-sim: state file '%s': %s\n", config.stateFile.c_str(), error.c_str());
    }
    if (config.notifies) notifyWindows(windows, accessory->path(), DeviceEvent::Arrival);
    if (config.leaveAfterMs > 0) unplugLater(accessory, config.leaveAfterMs);
    return accessory;
}

void WorldImpl::unplugLater(const std::shared_ptr<Accessory> &accessory, std::uint32_t afterMs) {
    const unsigned generation = generation_.load();
    std::thread([this, accessory, afterMs, generation] {
        std::this_thread::sleep_for(std::chrono::milliseconds(afterMs));
        if (generation_.load() == generation) unplug(accessory);
    }).detach();
}

void WorldImpl::unplug(const std::shared_ptr<Accessory> &accessory) {
    std::shared_ptr<AccessoryImpl> removed;
    std::vector<void *> windows;
    {
        std::lock_guard lock(mutex_);
        const auto it = std::find(plugged_.begin(), plugged_.end(), accessory);
        if (it == plugged_.end()) return;
        removed = *it;
        plugged_.erase(it);
        windows = windows_;
    }
    removed->markUnplugged();
    if (removed->config().notifies) notifyWindows(windows, removed->path(), DeviceEvent::Removal);
}

void WorldImpl::unplugAll() {
    for (const std::shared_ptr<Accessory> &accessory : accessories()) unplug(accessory);
}

void WorldImpl::reset() {
    ++generation_;
    unplugAll();
    std::lock_guard lock(mutex_);
    settings_.reportDelayUs = 0;
    timing_ = hid::Timing{};
    settings_.writeLimitMs = timing_.writeLimitMs;
    reportIdErrors_ = 0;
    windows_.clear();
}

std::vector<std::shared_ptr<Accessory>> WorldImpl::accessories() const {
    std::lock_guard lock(mutex_);
    return {plugged_.begin(), plugged_.end()};
}

void WorldImpl::setReportDelay(std::chrono::microseconds perReport) { settings_.reportDelayUs = perReport.count(); }

void WorldImpl::setTiming(const hid::Timing &timing) {
    std::lock_guard lock(mutex_);
    timing_ = timing;
    settings_.writeLimitMs = timing.writeLimitMs;
}

hid::Timing WorldImpl::timing() const {
    std::lock_guard lock(mutex_);
    return timing_;
}

std::vector<void *> WorldImpl::notificationWindows() const {
    std::lock_guard lock(mutex_);
    return windows_;
}

void WorldImpl::requestNotification(void *window) {
    std::lock_guard lock(mutex_);
    windows_.push_back(window);
}

std::optional<std::string> WorldImpl::pathAt(int index) const {
    std::lock_guard lock(mutex_);
    if (index < 0 || static_cast<std::size_t>(index) >= plugged_.size()) return std::nullopt;
    return plugged_[static_cast<std::size_t>(index)]->path();
}

std::shared_ptr<Channel> WorldImpl::open(const char *path, const hid::OpenMode &mode) {
    if (path == nullptr) return nullptr;
    const std::string wanted = foldCase(path);
    std::lock_guard lock(mutex_);
    const auto it = std::find_if(plugged_.begin(), plugged_.end(),
                                 [&](const auto &accessory) { return foldCase(accessory->path()) == wanted; });
    if (it == plugged_.end()) return nullptr;
    auto channel = std::make_shared<Channel>(nextToken_, mode, *it);
    if (!(*it)->attach(channel)) return nullptr;
    nextToken_ += kTokenStep;
    channels_.emplace(channel->token, channel);
    return channel;
}

std::shared_ptr<Channel> WorldImpl::channel(hid::Channel token) const {
    std::lock_guard lock(mutex_);
    const auto it = channels_.find(reinterpret_cast<std::uintptr_t>(token));
    return it == channels_.end() ? nullptr : it->second;
}

void WorldImpl::close(hid::Channel token) {
    std::shared_ptr<Channel> closed;
    {
        std::lock_guard lock(mutex_);
        const auto it = channels_.find(reinterpret_cast<std::uintptr_t>(token));
        if (it == channels_.end()) return;
        closed = it->second;
        channels_.erase(it);
    }
    closed->accessory->detach(*closed);
}

// Only a plugged accessory's path has one: Wine removes a device's node
// with the device, so even its removal notification finds no hardware ID.
std::optional<std::string> WorldImpl::hardwareId(const char *deviceName) const {
    if (deviceName == nullptr) return std::nullopt;
    const std::string folded = foldCase(deviceName);
    std::lock_guard lock(mutex_);
    const bool plugged = std::any_of(plugged_.begin(), plugged_.end(),
                                     [&](const auto &accessory) { return foldCase(accessory->path()) == folded; });
    if (!plugged) return std::nullopt;
    return hardwareIdOfPath(deviceName, nextSerial_);
}

}  // namespace zelo::sim
