// The Bluetooth module behind the accessory's serial port: its firmware
// only records what it receives; a reset pulse starts its boot loader,
// which synchronises on "U", takes loader lines, and after "L0000" runs the
// loader that stores memory records or erases the memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "zelo_sim/sim.h"

namespace zelo::sim {

class BluetoothModule {
public:
    static constexpr std::uint16_t kMemoryBase = 0x8000;
    static constexpr std::size_t kMemorySize = 0x2000;

    BluetoothModule();

    // The module's reset line; a low level followed by a high one restarts
    // the module in its boot loader.
    void setResetLine(bool high);
    bool resetLine() const { return resetLine_; }

    // One serial message (the payload of one transmit command). refuseSync
    // is asked before a synchronisation is answered.
    void receive(const std::vector<std::uint8_t> &message, const std::function<bool()> &refuseSync);

    // Bytes the module sent, oldest first, at most max of them.
    std::vector<std::uint8_t> takeOutput(std::size_t max);
    void send(const std::vector<std::uint8_t> &bytes);

    ModuleState state() const { return state_; }
    const std::vector<std::uint8_t> &memory() const { return memory_; }
    const std::vector<std::string> &loaderLines() const { return loaderLines_; }
    const std::vector<std::uint8_t> &received() const { return received_; }
    bool erased() const { return erased_; }

private:
    void bootLoaderMessage(const std::vector<std::uint8_t> &message, const std::function<bool()> &refuseSync);
    void loaderLine(const std::vector<std::uint8_t> &message);
    void loaderStream();
    // Handles the record at the start of the loader stream; false when it
    // is still incomplete.
    bool loaderRecord();
    void erase();
    void sendText(std::string_view text);

    ModuleState state_ = ModuleState::Firmware;
    bool resetLine_ = true;
    bool resetPending_ = false;
    std::vector<std::uint8_t> memory_;
    bool erased_ = false;
    std::vector<std::string> loaderLines_;
    std::vector<std::uint8_t> received_;
    std::vector<std::uint8_t> stream_;  // loader bytes not yet taken
    std::deque<std::uint8_t> output_;
};

}  // namespace zelo::sim
