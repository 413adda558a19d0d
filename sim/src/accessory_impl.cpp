// The accessory's state as tests see and set it.
#include "accessory_impl.h"

#include <algorithm>
#include <cstdio>

#include "initial_flash.h"

namespace zelo::sim {

namespace {
// The IR status before any command was received ("NONE").
constexpr std::uint8_t kNoIrCode = 0xFF;
}  // namespace

AccessoryImpl::AccessoryImpl(const AccessoryConfig &config, std::string path, unsigned unit,
                             const SharedSettings &settings, const SavedState *saved)
    : config_(config), profile_(resolveProfile(config)), path_(std::move(path)), settings_(settings),
      lastIrCode_(kNoIrCode) {
    initialiseFlash(flash_, profile_, unit);
    if (saved == nullptr) return;
    for (int i = 0; i < kPageCount; ++i) flash_.setPage(i, saved->pages[i]);
    module_.restore(saved->moduleMemory, saved->moduleErased);
}

std::chrono::microseconds AccessoryImpl::reportDelay() const {
    return std::max<std::chrono::microseconds>(settings_.reportDelay(), std::chrono::milliseconds(config_.reportDelayMs));
}

bool AccessoryImpl::saveStateFile(std::string *error) const {
    if (config_.stateFile.empty()) return true;
    std::lock_guard lock(mutex_);
    return saveState(config_.stateFile, profile_.loader, snapshot(), error);
}

SavedState AccessoryImpl::snapshot() const {
    SavedState state;
    for (int i = 0; i < kPageCount; ++i) state.pages[i] = flash_.page(i);
    state.moduleMemory = module_.memory();
    state.moduleErased = module_.erased();
    return state;
}

// Runs with mutex_ held, after every change of flash or module memory, so
// the next process finds what this one left.
void AccessoryImpl::persist() const {
    if (config_.stateFile.empty()) return;
    std::string error;
    if (!saveState(config_.stateFile, profile_.loader, snapshot(), &error)) {
        std::fprintf(stderr, "zelo-sim: state file '%s': %s\n", config_.stateFile.c_str(), error.c_str());
    }
}

bool AccessoryImpl::plugged() const {
    std::lock_guard lock(mutex_);
    return plugged_;
}

std::string AccessoryImpl::firmwareVersion() const {
    std::lock_guard lock(mutex_);
    return firmwareText();
}

// The firmware answers with the text it keeps in flash, so rewriting that
// page changes the answer as on a real accessory.
std::string AccessoryImpl::firmwareText() const {
    return flash_.readImage(profile_.firmwareTextOffset, kVersionTextLength);
}

std::array<std::uint8_t, kPageSize> AccessoryImpl::page(int number) const {
    std::lock_guard lock(mutex_);
    return flash_.page(number);
}

void AccessoryImpl::setPage(int number, const std::array<std::uint8_t, kPageSize> &data) {
    std::lock_guard lock(mutex_);
    flash_.setPage(number, data);
    persist();
}

void AccessoryImpl::setLastIrCode(std::uint8_t code) {
    std::lock_guard lock(mutex_);
    lastIrCode_ = code;
}

void AccessoryImpl::injectFault(const FaultSpec &fault) {
    std::lock_guard lock(mutex_);
    faults_.add(fault);
}

void AccessoryImpl::clearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

int AccessoryImpl::faultsActed() const {
    std::lock_guard lock(mutex_);
    return faults_.acted();
}

int AccessoryImpl::blockedReads() const {
    std::lock_guard lock(mutex_);
    return blockedReads_;
}

int AccessoryImpl::reportsWaiting() const {
    std::lock_guard lock(mutex_);
    std::size_t waiting = 0;
    for (const Channel *channel : channels_) waiting += channel->queue.waiting();
    return static_cast<int>(waiting);
}

std::vector<LogEntry> AccessoryImpl::log() const {
    std::lock_guard lock(mutex_);
    return log_;
}

std::vector<LogEntry> AccessoryImpl::commands() const {
    std::lock_guard lock(mutex_);
    std::vector<LogEntry> commands;
    std::copy_if(log_.begin(), log_.end(), std::back_inserter(commands),
                 [](const LogEntry &entry) { return entry.kind == LogEntry::Kind::Command; });
    return commands;
}

void AccessoryImpl::clearLog() {
    std::lock_guard lock(mutex_);
    log_.clear();
}

void AccessoryImpl::logEntry(LogEntry::Kind kind, std::vector<std::uint8_t> bytes, std::string note) {
    log_.push_back({kind, std::move(bytes), std::move(note)});
}

std::vector<std::uint8_t> AccessoryImpl::moduleMemory() const {
    std::lock_guard lock(mutex_);
    return module_.memory();
}

std::vector<std::string> AccessoryImpl::moduleLoaderLines() const {
    std::lock_guard lock(mutex_);
    return module_.loaderLines();
}

void AccessoryImpl::restoreModule(const std::vector<std::uint8_t> &memory, bool erased) {
    std::lock_guard lock(mutex_);
    module_.restore(memory, erased);
    persist();
}

bool AccessoryImpl::moduleErased() const {
    std::lock_guard lock(mutex_);
    return module_.erased();
}

ModuleState AccessoryImpl::moduleState() const {
    std::lock_guard lock(mutex_);
    return module_.state();
}

std::vector<std::uint8_t> AccessoryImpl::moduleReceived() const {
    std::lock_guard lock(mutex_);
    return module_.received();
}

void AccessoryImpl::moduleSend(const std::vector<std::uint8_t> &bytes) {
    std::lock_guard lock(mutex_);
    module_.send(bytes);
}

bool AccessoryImpl::bootMode() const {
    std::lock_guard lock(mutex_);
    return bootMode_;
}

std::array<std::uint8_t, kLedStateLength> AccessoryImpl::ledState() const {
    std::lock_guard lock(mutex_);
    return led_;
}

std::array<std::uint8_t, kIrRecordLength> AccessoryImpl::lastIrTransmit() const {
    std::lock_guard lock(mutex_);
    return irTransmit_;
}

std::uint16_t AccessoryImpl::pairingValue() const {
    std::lock_guard lock(mutex_);
    return pairing_;
}

bool AccessoryImpl::uartEnabled() const {
    std::lock_guard lock(mutex_);
    return uartEnabled_;
}

std::array<std::uint8_t, kUartSettingsLength> AccessoryImpl::uartSettings() const {
    std::lock_guard lock(mutex_);
    return uartSettings_;
}

bool AccessoryImpl::rstLine() const {
    std::lock_guard lock(mutex_);
    return rst_;
}

bool AccessoryImpl::moduleResetLine() const {
    std::lock_guard lock(mutex_);
    return module_.resetLine();
}

}  // namespace zelo::sim
