// A simulated accessory: its flash, command handling, Bluetooth module,
// faults, log and the input queues of the channels open on it. One mutex
// guards all of it, including the channels' queues.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "bt_module.h"
#include "channel.h"
#include "process_claim.h"
#include "command_parser.h"
#include "fault_list.h"
#include "flash.h"
#include "model_profile.h"
#include "shared_settings.h"
#include "state_file.h"
#include "zelo_sim/sim.h"

namespace zelo::sim {

class AccessoryImpl final : public Accessory, public std::enable_shared_from_this<AccessoryImpl> {
public:
    // unit: the accessory's number in the world, from which its identity is derived.
    // saved: memory kept from an earlier run (config.stateFile), or null.
    AccessoryImpl(const AccessoryConfig &config, std::string path, unsigned unit, const SharedSettings &settings,
                  const SavedState *saved = nullptr);
    // Writes the state file (when the config names one); false with the
    // reason in error when it could not be written.
    bool saveStateFile(std::string *error) const;

    // Accessory
    std::string path() const override { return path_; }
    bool plugged() const override;
    std::string firmwareVersion() const override;
    std::string loaderVersion() const override { return profile_.loader; }
    std::array<std::uint8_t, kPageSize> page(int number) const override;
    void setPage(int number, const std::array<std::uint8_t, kPageSize> &data) override;
    void setLastIrCode(std::uint8_t code) override;
    void injectFault(const FaultSpec &fault) override;
    void clearFaults() override;
    int faultsActed() const override;
    void sendInputReport(const std::vector<std::uint8_t> &report) override;
    int blockedReads() const override;
    int reportsWaiting() const override;
    std::vector<LogEntry> log() const override;
    std::vector<LogEntry> commands() const override;
    void clearLog() override;
    std::vector<std::uint8_t> moduleMemory() const override;
    void restoreModule(const std::vector<std::uint8_t> &memory, bool erased) override;
    std::vector<std::string> moduleLoaderLines() const override;
    bool moduleErased() const override;
    ModuleState moduleState() const override;
    std::vector<std::uint8_t> moduleReceived() const override;
    void moduleSend(const std::vector<std::uint8_t> &bytes) override;
    AccessoryConfig config() const override { return config_; }
    // What one report takes on the wire: the world's delay or this
    // accessory's own, whichever is longer.
    std::chrono::microseconds reportDelay() const;
    bool bootMode() const override;
    std::array<std::uint8_t, kLedStateLength> ledState() const override;
    std::array<std::uint8_t, kIrRecordLength> lastIrTransmit() const override;
    std::uint16_t pairingValue() const override;
    bool uartEnabled() const override;
    std::array<std::uint8_t, kUartSettingsLength> uartSettings() const override;
    bool rstLine() const override;
    bool moduleResetLine() const override;

    const Profile &profile() const { return profile_; }

    // Backend side. Each takes the accessory's mutex.
    enum class WriteResult { Failed, Written, WrittenThenUnplug, UnplugInstead };
    bool attach(const std::shared_ptr<Channel> &channel);  // false on a sharing conflict or when unplugged
    void detach(Channel &channel);
    bool attributes(std::uint16_t *vendorId, std::uint16_t *productId) const;
    bool reportLengths(hid::ReportLengths *lengths) const;
    bool flushInput(Channel &channel);
    bool setNumInputBuffers(Channel &channel, std::uint32_t count);
    WriteResult writeReport(Channel &channel, const std::uint8_t *report, std::uint32_t length);
    hid::ReadStatus readReports(Channel &channel, std::uint8_t *buffer, std::uint32_t capacity,
                                std::uint32_t timeoutMs, std::uint32_t *transferred);
    void cancelRead(Channel &channel);
    bool getFeature(Channel &channel, std::uint8_t *buffer, std::uint32_t length);
    void markUnplugged();

private:
    using Lock = std::unique_lock<std::mutex>;

    // Everything below runs with mutex_ held.
    std::string firmwareText() const;
    void logEntry(LogEntry::Kind kind, std::vector<std::uint8_t> bytes, std::string note = {});
    void noteCommand(const std::string &note);
    void runCommand(const std::vector<std::uint8_t> &command);
    void runPageCommand(const std::vector<std::uint8_t> &command);
    std::optional<std::uint16_t> writePage(int number, const Page &data);
    bool refusesCodePage(int number) const;
    void runBootCommand(const std::vector<std::uint8_t> &command);
    void runSerialCommand(const std::vector<std::uint8_t> &command);
    void runRecordCommand(const std::vector<std::uint8_t> &command);
    void answer(std::uint8_t code, const std::vector<std::uint8_t> &bytes);
    std::vector<std::uint8_t> crcAnswer(std::uint8_t code, std::uint16_t crc);
    void queueInputReport(std::vector<std::uint8_t> report, Clock::time_point earliest);
    bool conflicts(const hid::OpenMode &mode) const;
    void closeAllChannels();
    SavedState snapshot() const;
    void persist() const;

    const AccessoryConfig config_;
    const Profile profile_;
    const std::string path_;
    const SharedSettings &settings_;

    mutable std::mutex mutex_;
    bool plugged_ = true;
    std::vector<Channel *> channels_;
    ProcessClaim claim_;  // towards other processes, while channels_ is not empty
    int blockedReads_ = 0;
    Flash flash_;
    CommandParser parser_;
    BluetoothModule module_;
    FaultList faults_;
    std::vector<LogEntry> log_;
    Clock::time_point lastArrival_{};

    bool bootMode_ = false;
    std::uint8_t lastIrCode_;
    std::array<std::uint8_t, kLedStateLength> led_{};
    std::array<std::uint8_t, kIrRecordLength> irTransmit_{};
    std::uint16_t pairing_ = 0;
    bool uartEnabled_ = false;
    std::array<std::uint8_t, kUartSettingsLength> uartSettings_{};
    bool moduleStopped_ = false;  // Fault::ModuleStops fired
    bool bootRefused_ = false;    // Fault::RefuseBootMode fired; until boot mode is entered
    bool powerLost_ = false;      // Fault::TornPageWrite fired: the accessory is gone
    bool rst_ = false;
};

}  // namespace zelo::sim
