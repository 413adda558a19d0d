// The Bluetooth module behind the accessory's serial port: its firmware
// only records what it receives; a reset pulse starts its boot loader,
// which synchronises on "U", takes loader lines, and after "L0000" runs the
// loader that stores memory records or erases the memory. The serial line
// carries bytes, not messages: every stage works on the byte stream, so
// however the bytes were cut into transmit commands, the answers are the
// same.
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

    // Serial bytes (the payload of one transmit command). refuseSync is
    // asked before a synchronisation is answered.
    void receive(const std::vector<std::uint8_t> &bytes, const std::function<bool()> &refuseSync);

    // Bytes the module sent, oldest first, at most max of them.
    std::vector<std::uint8_t> takeOutput(std::size_t max);
    void send(const std::vector<std::uint8_t> &bytes);

    ModuleState state() const { return state_; }
    const std::vector<std::uint8_t> &memory() const { return memory_; }
    const std::vector<std::string> &loaderLines() const { return loaderLines_; }
    const std::vector<std::uint8_t> &received() const { return received_; }
    bool erased() const { return erased_; }
    // Counts the changes of memory (records stored, erases), so a caller can
    // tell whether serial bytes changed what the module keeps.
    unsigned memoryChanges() const { return memoryChanges_; }
    // Memory as kept from an earlier run.
    void restore(const std::vector<std::uint8_t> &memory, bool erased);

private:
    // Each step takes what it can from the start of the stream and says
    // whether it took anything; false means it waits for more bytes.
    bool bootLoaderStep(const std::function<bool()> &refuseSync);
    bool loaderTextStep();
    bool loaderTextLine();
    bool loaderStartCommand();
    bool loaderStep();
    bool loaderRecord();
    void dropFront(std::size_t count);
    void erase();
    void sendText(std::string_view text);

    ModuleState state_ = ModuleState::Firmware;
    bool resetLine_ = true;
    bool resetPending_ = false;
    std::vector<std::uint8_t> memory_;
    bool erased_ = false;
    unsigned memoryChanges_ = 0;
    std::vector<std::string> loaderLines_;
    std::vector<std::uint8_t> received_;
    std::vector<std::uint8_t> stream_;  // serial bytes not yet taken
    std::deque<std::uint8_t> output_;
};

}  // namespace zelo::sim
